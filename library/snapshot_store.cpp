// The snapshot store: a grabbed frame becomes the next free Picture nnnn.jpg.
#include "library/photo_library.h"

#include "capture/frame_buffer.h"
#include "library/library_texts.h"
#include "library/picture_number.h"
#include "platform/message_box.h"
#include "platform/trace.h"

#include <cstdio>

void CPhotoLibrary::StoreCounter() {
    if (m_hooks.storeCounter)
        m_hooks.storeCounter(m_members.m_nCapTimes);
}

void CPhotoLibrary::OnSnapshotButton() {
    ArmSnapshot(m_members.m_strPhotoFolder.c_str());
}

// The numbering rules: from the counter upwards, skipping taken names; above
// the last number a search from 0; when all are taken the reset question. A
// lookup that fails leaves the counter as it was: no number is used.
CPhotoLibrary::NameChoice CPhotoLibrary::ChooseSnapshotName(std::string& name) {
    const std::string prefix = g_grabberCallback.m_szPhotoDir;
    const int nCounterBefore = m_members.m_nCapTimes;
    const auto lookupFailed = [&] {
        if (m_members.m_nCapTimes != nCounterBefore) {
            m_members.m_nCapTimes = nCounterBefore;
            StoreCounter();
        }
        return NameChoice::LookupFailed;
    };
    for (;;) {
        int n = m_members.m_nCapTimes;
        // A stored value above the limit (or one that reads back negative)
        // means the same as the limit itself.
        if (n >= PICTURE_NUMBER_LIMIT || n < 0) {
            const int free = FindFreePictureNumber(prefix, name, 0, PICTURE_NUMBER_LIMIT - 1);
            if (free == PICTURE_LOOKUP_FAILED)
                return lookupFailed();
            if (free >= 0) {
                m_members.m_nCapTimes = free;
                continue;
            }
            const MessageBoxRequest prompt{CounterResetText(m_hooks.languageId()), APP_TITLE,
                                           MB_YESNO | MB_ICONQUESTION, MessageBoxOwner::None};
            if (ShowMessageBox(prompt) != IDYES)
                return NameChoice::Declined;
            m_members.m_nCapTimes = 0;
            StoreCounter();
            n = 0;
        }
        name = PictureFileName(prefix, n);
        switch (LookUpPictureName(name)) {
        case NameLookup::Failed:
            return lookupFailed();
        case NameLookup::Taken: {
            const int free = FindFreePictureNumber(prefix, name, n + 1, PICTURE_NUMBER_LIMIT - 1);
            if (free == PICTURE_LOOKUP_FAILED)
                return lookupFailed();
            m_members.m_nCapTimes = free >= 0 ? free : PICTURE_NUMBER_LIMIT;
            StoreCounter();
            continue;
        }
        case NameLookup::Free:
            m_members.m_nCapTimes = n + 1;
            StoreCounter();
            return NameChoice::Chosen;
        }
    }
}

void CPhotoLibrary::OnSnapshotReady() {
    // A message delivered inside this handler's own question (or a deletion's)
    // is dropped here.
    if (m_members.m_sync_dir_status == 1) {
        g_frameBuffer.bArmed.store(0);
        return;
    }
    // Taking the frame disarms the grabber, so nothing is copied into the
    // frame from here on, and the frame's lock is let go at once: the question
    // and the messages below run a nested event loop, and a streaming thread
    // that passed its unlocked armed check just before the disarm waits for
    // that lock, freezing the preview (or, with a suspend handled inside the
    // box, the whole program).
    if (!TakeSnapshotFrame(m_members.m_sync_dir_status))
        return;
    if (m_members.m_strPhotoFolder != g_grabberCallback.m_szPhotoDir) {
        // The folder did not fit the grabber's prefix and was cut: a name
        // formed from it would land in another folder.
        char text[600];
        std::snprintf(text, sizeof text, "JpegFile :\nCan't open %sPicture.jpg\n",
                      m_members.m_strPhotoFolder.c_str());
        AppMessageBox(text);
        m_members.m_sync_dir_status = 0;
        return;
    }
    std::string name;
    switch (ChooseSnapshotName(name)) {
    case NameChoice::Declined:
        m_members.m_sync_dir_status = 0;
        return;
    case NameChoice::LookupFailed:
        AppMessageBox("JpegFile :\nCan't open " + name + "\n");
        m_members.m_sync_dir_status = 0;
        return;
    case NameChoice::Chosen:
        break;
    }
    {
        // The write's messages wait until the frame is let go (declared
        // first, so it ends last).
        CDeferredMessageBoxes deferredBoxes;
        SnapshotFrame frame = HoldCopiedFrame();
        if (frame) {
            const auto width = static_cast<std::uint32_t>(frame.Width());
            const auto height = static_cast<std::uint32_t>(frame.Height());
            m_codec.SwapRedBlue(frame.Data(), width, height);
            m_codec.FlipVertical(frame.Data(), width * 3, height);
            // A failed write has its message; the number stays consumed.
            if (!m_codec.EncodeFromRgb(name, frame.Data(), width, height, 1, 90))
                Trace("snapshot not written: %s", name.c_str());
        } else {
            Trace("snapshot frame gone before %s was written", name.c_str());
        }
    }
    RebuildPhotoList(REBUILD_AFTER_SNAPSHOT);
    UpdateDeleteButton();
    m_members.m_sync_dir_status = 0;
    UpdateDeleteButton();
}
