// The folder scanner: the photo list rebuilt from the pictures folder tree.
#include "library/photo_library.h"

#include "library/photo_buffers.h"
#include "platform/file_opener.h"
#include "platform/language_id.h"

#include <algorithm>
#include <cstring>

#include <strings.h>
#include <sys/stat.h>

CPhotoLibrary::CPhotoLibrary(StripState& strip, LibraryMembers& members, const JpegCodec& codec,
                             LibraryHooks hooks)
    : m_strip(strip), m_members(members), m_codec(codec), m_hooks(std::move(hooks)),
      m_thumbnails(codec, members.m_pDecodeBuffer,
                   members.m_pDecodeBuffer ? DECODE_BUFFER_BYTES : 0) {
    if (!m_hooks.openFile)
        m_hooks.openFile = &OpenWithDesktopViewer;
    if (!m_hooks.languageId)
        m_hooks.languageId = &GetSystemDefaultLangID;
}

FolderStatus ReadFolderStatus(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return {true, false, 0, 0};
    return {true, true, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

void CPhotoLibrary::OnPhotoFile(const char* path, void* context) {
    auto& strip = *static_cast<StripState*>(context);
    const std::size_t length = std::strlen(path);
    if (length < 3 || strcasecmp(path + length - 3, "jpg") != 0)
        return;
    if (strip.m_nPhotoCount >= MAX_PHOTOS || !std::strstr(path, "Picture "))
        return;
    // A path the record cannot hold whole is left out: a cut path would name
    // another file, which the strip would show and deletion would remove.
    PhotoRecord& record = strip.m_pPhotos[strip.m_nPhotoCount];
    if (length >= sizeof record.szPath)
        return;
    std::memcpy(record.szPath, path, length + 1);
    record.bThumbReady = 0;
    ++strip.m_nPhotoCount;
}

void CPhotoLibrary::StartupScan() {
    m_strip.m_nFirstVisible = 0;
    m_strip.m_nScrollMin = 0;
    m_strip.m_nPhotoCount = 0;
    m_thumbnails.ListChanged();
    if (m_strip.m_pPhotos)
        m_members.m_folderWalker.Start(&m_strip, m_members.m_strPhotoFolder, &OnPhotoFile, 1);
    m_strip.m_nCurrent = m_strip.m_nAnchor = m_strip.m_nRangeHigh = m_strip.m_nRangeLow = -1;
    m_members.m_sync_dir_status = 0;
    UpdateScrollRange();
    RenderThumbnailStrip();
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

    std::memset(m_strip.m_marks, 0, sizeof m_strip.m_marks);
    m_strip.m_nPhotoCount = 0;
    m_strip.m_nMarked = 0;
    m_thumbnails.ListChanged();
    if (m_strip.m_pPhotos)
        m_members.m_folderWalker.Start(&m_strip, m_members.m_strPhotoFolder, &OnPhotoFile, 1);

    switch (mode) {
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

    RenderThumbnailStrip();
    UpdateScrollRange();
    // The new file changed the folder's time; remember it so the next check
    // does not rebuild once more.
    if (mode == REBUILD_AFTER_SNAPSHOT)
        m_members.m_folderStatus = ReadFolderStatus(m_members.m_szPicturesPath);
}
