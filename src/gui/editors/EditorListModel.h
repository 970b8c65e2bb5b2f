#pragma once

#include <QAbstractListModel>

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

  // The core stored line `nLine` ("Update"): a replaced line is repainted, an added one
  // inserted.
  void LineStored(int nLine);

 private:
  const RecordEditor& m_editor;
  int m_nRows;  // the rows the views know of
};

}  // namespace velvane
