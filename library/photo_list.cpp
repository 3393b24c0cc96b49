// The folder scanner: the photo list rebuilt from the pictures folder tree.
#include "library/photo_library.h"

#include "library/photo_buffers.h"
#include "platform/file_opener.h"
#include "platform/language_id.h"
#include "platform/trace.h"

#include <algorithm>
#include <cstring>

#include <strings.h>
#include <sys/stat.h>

namespace {

// The start-up scan's strip state, taken like a rebuild mode's.
constexpr int STARTUP_SCAN = -1;

} // namespace

CPhotoLibrary::CPhotoLibrary(StripState& strip, LibraryMembers& members, const JpegCodec& codec,
                             LibraryHooks hooks)
    : m_strip(strip), m_members(members), m_codec(codec), m_hooks(std::move(hooks)),
      m_thumbnails(codec, members.m_pDecodeBuffer,
                   members.m_pDecodeBuffer ? DECODE_BUFFER_BYTES : 0) {
    if (!m_hooks.openFile)
        m_hooks.openFile = &OpenWithDesktopViewer;
    if (!m_hooks.languageId)
        m_hooks.languageId = &GetSystemDefaultLangID;
    m_walkPoll.setInterval(WALK_POLL_MS);
    QObject::connect(&m_walkPoll, &QTimer::timeout, [this] { OnWalkPoll(); });
}

FolderStatus ReadFolderStatus(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return {true, false, 0, 0};
    return {true, true, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

void CPhotoLibrary::OnPhotoFile(const char* path, void* context) {
    auto& paths = *static_cast<WalkedPaths*>(context);
    const std::size_t length = std::strlen(path);
    if (length < 3 || strcasecmp(path + length - 3, "jpg") != 0)
        return;
    if (paths.size() >= MAX_PHOTOS || !std::strstr(path, "Picture "))
        return;
    // A path the record cannot hold whole is left out: a cut path would name
    // another file, which the strip would show and deletion would remove.
    if (length >= sizeof PhotoRecord::szPath)
        return;
    paths.emplace_back(path, length);
}

void CPhotoLibrary::StartupScan() {
    m_strip.m_nFirstVisible = 0;
    m_strip.m_nScrollMin = 0;
    m_strip.m_nPhotoCount = 0;
    m_thumbnails.ListChanged();
    m_members.m_sync_dir_status = 0;
    WalkPhotoFolder(STARTUP_SCAN);
}

void CPhotoLibrary::FolderCheck() {
    if (m_members.m_sync_dir_status == 0)
        RebuildPhotoList(REBUILD_IF_CHANGED);
}

void CPhotoLibrary::RebuildPhotoList(int mode) {
    // A folder whose status cannot be read (removed, no access) counts as a
    // change once, so the list empties; it is then remembered as unreadable
    // and the check stays quiet until the folder is back.
    const FolderStatus status = ReadFolderStatus(m_members.m_szPicturesPath);
    if (status == m_members.m_folderStatus) {
        if (mode == REBUILD_IF_CHANGED)
            return;
    } else {
        m_members.m_folderStatus = status;
    }
    if (m_bWalkLate) {
        // One walk at a time: this rebuild follows the running one. A rebuild
        // that selects (after a snapshot or a deletion) is not given up for
        // a mere folder check asked for after it.
        if (!m_bWalkAgain || mode != REBUILD_IF_CHANGED)
            m_nAgainMode = mode;
        m_bWalkAgain = true;
        return;
    }
    WalkPhotoFolder(mode);
}

void CPhotoLibrary::WalkPhotoFolder(int mode) {
    // Each walk fills a list of its own, kept alive by the walk itself: one
    // left running when the window closes writes into nothing of the window.
    m_pWalked = std::make_shared<WalkedPaths>();
    if (m_strip.m_pPhotos)
        m_members.m_folderWalker.Start(m_pWalked.get(), m_members.m_strPhotoFolder, &OnPhotoFile, 0,
                                       m_pWalked);
    if (m_members.m_folderWalker.WaitForEnd(WALK_WAIT_MS)) {
        TakeWalkedList(mode);
        return;
    }
    Trace("folder walk still running after %d ms; its list follows when it ends", WALK_WAIT_MS);
    m_bWalkLate = true;
    m_nLateMode = mode;
    m_walkPoll.start();
    // The window goes on with the list it has. What the mode sets without the
    // new list is set now: deleted photos are no longer selected, and the
    // start-up strip is drawn, empty.
    if (mode == REBUILD_AFTER_DELETE || mode == STARTUP_SCAN) {
        std::memset(m_strip.m_marks, 0, sizeof m_strip.m_marks);
        SetStripState(mode);
        UpdateScrollRange();
        RenderThumbnailStrip();
    }
}

void CPhotoLibrary::OnWalkPoll() {
    // Not while a save or a deletion runs: its question may be open, and the
    // marks it acts on name records of the list it showed.
    if (m_members.m_sync_dir_status == 1 || !m_members.m_folderWalker.WaitForEnd(0))
        return;
    m_walkPoll.stop();
    m_bWalkLate = false;
    TakeWalkedList(m_nLateMode);
    if (m_bWalkAgain) {
        m_bWalkAgain = false;
        WalkPhotoFolder(m_nAgainMode);
    }
}

void CPhotoLibrary::SetStripState(int mode) {
    switch (mode) {
    case STARTUP_SCAN:
        m_strip.m_nCurrent = m_strip.m_nAnchor = m_strip.m_nRangeHigh = m_strip.m_nRangeLow = -1;
        break;
    case REBUILD_AFTER_DELETE:
        m_strip.m_nCurrent = m_strip.m_nAnchor = m_strip.m_nRangeLow = m_strip.m_nRangeHigh = -1;
        m_strip.m_nFirstVisible = 0;
        m_strip.m_nMarked = 0;
        break;
    case REBUILD_AFTER_SNAPSHOT:
        m_strip.m_nRangeLow = m_strip.m_nRangeHigh = -1;
        m_strip.m_nAnchor = m_strip.m_nPhotoCount - 1;
        if (m_strip.m_nPhotoCount > 0) {
            m_strip.m_marks[m_strip.m_nPhotoCount - 1] = 1;
            m_strip.m_nMarked = 1;
        }
        m_strip.m_nFirstVisible = std::max(m_strip.m_nPhotoCount - m_strip.m_nSlots, 0);
        break;
    default:
        m_strip.m_nFirstVisible = 0;
        break;
    }
}

void CPhotoLibrary::TakeWalkedList(int mode) {
    std::memset(m_strip.m_marks, 0, sizeof m_strip.m_marks);
    m_strip.m_nPhotoCount = 0;
    m_strip.m_nMarked = 0;
    if (m_strip.m_pPhotos) {
        for (const std::string& path : *m_pWalked) {
            PhotoRecord& record = m_strip.m_pPhotos[m_strip.m_nPhotoCount++];
            std::memcpy(record.szPath, path.c_str(), path.size() + 1);
            record.bThumbReady = 0;
        }
    }
    m_thumbnails.ListChanged();
    SetStripState(mode);

    if (mode == STARTUP_SCAN) {
        UpdateScrollRange();
        RenderThumbnailStrip();
        return;
    }
    RenderThumbnailStrip();
    UpdateScrollRange();
    // The new file changed the folder's time; remember it so the next check
    // does not rebuild once more.
    if (mode == REBUILD_AFTER_SNAPSHOT)
        m_members.m_folderStatus = ReadFolderStatus(m_members.m_szPicturesPath);
}
