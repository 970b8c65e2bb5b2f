#include "gui/editors/EditorListModel.h"

#include "gui/common/TabStopDelegate.h"

namespace velvane {

EditorListModel::EditorListModel(const RecordEditor& editor, QObject* pParent)
    : QAbstractListModel(pParent), m_editor(editor), m_nRows(editor.LineCount()) {}

int EditorListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_nRows;
}

QVariant EditorListModel::data(const QModelIndex& index, int nRole) const {
  if (nRole != Qt::DisplayRole || !index.isValid() || index.row() >= m_nRows) {
    return {};
  }
  return DisplayFields(m_editor.Line(index.row()));
}

void EditorListModel::LineStored(int nLine) {
  if (m_editor.LineCount() > m_nRows) {
    beginInsertRows(QModelIndex(), nLine, nLine);
    m_nRows = m_editor.LineCount();
    endInsertRows();
  }
  emit dataChanged(index(nLine), index(nLine));
}

}  // namespace velvane
