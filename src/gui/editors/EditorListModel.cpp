#include "gui/editors/EditorListModel.h"

#include "gui/common/TabStopDelegate.h"

namespace velvane {

EditorListModel::EditorListModel(const RecordEditor& editor, QObject* pParent)
    : QAbstractListModel(pParent), m_editor(editor), m_nRows(editor.LineCount()) {}

int EditorListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_nRows;
}

QVariant EditorListModel::data(const QModelIndex& index, int nRole) const {
  // The core is ahead of the views while they follow an edit: rows it no longer has are empty.
  if (nRole != Qt::DisplayRole || !index.isValid() || index.row() >= m_nRows ||
      index.row() >= m_editor.LineCount()) {
    return {};
  }
  return DisplayFields(m_editor.Line(index.row()));
}

void EditorListModel::LinesEdited(const std::vector<RecordEditor::LineEdit>& edits) {
  for (const RecordEditor::LineEdit& edit : edits) {
    switch (edit.kind) {
      case RecordEditor::LineEdit::kInserted:
        beginInsertRows(QModelIndex(), edit.nLine, edit.nLine);
        ++m_nRows;
        endInsertRows();
        break;
      case RecordEditor::LineEdit::kRemoved:
        beginRemoveRows(QModelIndex(), edit.nLine, edit.nLine);
        --m_nRows;
        endRemoveRows();
        break;
      case RecordEditor::LineEdit::kReplaced:
        emit dataChanged(index(edit.nLine), index(edit.nLine));
        break;
    }
  }
}

}  // namespace velvane
