// Deletion of the selected photos after the user's confirmation.
#include "library/photo_library.h"

#include "library/library_texts.h"
#include "platform/message_box.h"
#include "platform/trace.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

void CPhotoLibrary::OnDeleteButton() {
    if (m_strip.m_nMarked <= 0 || m_members.m_sync_dir_status == 1)
        return;
    m_members.m_sync_dir_status = 1;
    const MessageBoxRequest question{DeleteConfirmText(m_hooks.languageId()), APP_TITLE,
                                     MB_YESNO | MB_ICONQUESTION, MessageBoxOwner::ActiveWindow};
    if (ShowMessageBox(question) == IDYES) {
        for (int i = 0; i < PHOTO_CAPACITY; ++i) {
            if (!m_strip.m_marks[i])
                continue;
            // Only records of the current list hold a path; a mark beyond it
            // must not delete a file named by an older list.
            if (i < m_strip.m_nPhotoCount) {
                PhotoRecord& record = m_strip.m_pPhotos[i];
                // Permanent, and never a folder: unlink refuses directories.
                if (unlink(record.szPath) != 0)
                    Trace("not deleted %s: %s", record.szPath, std::strerror(errno));
                record.bThumbReady = 0;
            }
            m_strip.m_marks[i] = 0;
        }
        RebuildPhotoList(REBUILD_AFTER_DELETE);
    }
    UpdateDeleteButton();
    m_members.m_sync_dir_status = 0;
}
