#pragma once

#include <QAbstractListModel>
#include <vector>

#include "core/editors/RecordEditor.h"

namespace velvane {

// The editor's list as Qt sees it: rows read straight from the core's lines when they are
// painted, so opening costs nothing per record and only the visible lines are converted.
class EditorListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  EditorListModel(const RecordEditor& editor, QObject* pParent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int nRole) const override;

  // The core edited its lines (Update, Delete, Undo, Redo): the views follow edit by edit, so
  // they keep their place in the list.
  void LinesEdited(const std::vector<RecordEditor::LineEdit>& edits);

 private:
  const RecordEditor& m_editor;
  int m_nRows;  // the rows the views know of
};

}  // namespace velvane
