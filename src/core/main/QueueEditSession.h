#pragma once

#include <functional>
#include <utility>

namespace velvane {

// The main window's link to an open queue editor. The editor works on a copy of the queue; a
// track that starts meanwhile (by hand or by auto change) or an auto change that skips a bad
// track moves the real queue, so the editor is told to lock itself and its copy may no longer
// replace the queue.
class QueueEditSession {
 public:
  void Begin() {
    m_bOpen = true;
    m_bQueueChanged = false;
  }
  void End() { m_bOpen = false; }
  bool QueueChanged() const { return m_bQueueChanged; }
  // The dialog's way of hearing that it must lock itself; empty while no dialog listens.
  void SetLockedHandler(std::function<void()> onLocked) { m_onLocked = std::move(onLocked); }

  // Play control calls this whenever a track starts or an auto change moves the queue.
  void OnQueueMoved() {
    if (!m_bOpen) {
      return;
    }
    m_bQueueChanged = true;
    if (m_onLocked) {
      m_onLocked();
    }
  }

 private:
  bool m_bOpen = false;
  bool m_bQueueChanged = false;
  std::function<void()> m_onLocked;
};

}  // namespace velvane
