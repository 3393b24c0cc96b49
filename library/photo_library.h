#pragma once
// The photo library's operations on the main window's state: the folder scan
// and rebuild, the strip's drawing and mouse handling, the snapshot store and
// deletion. The window keeps the state (StripState and LibraryMembers) and
// lends it here with the few things only a window has (LibraryHooks); its own
// handlers are one-line calls of these.

#include "library/folder_walker.h"
#include "library/jpeg_codec.h"
#include "library/strip_state.h"
#include "library/thumbnail_strip.h"

#include <QAbstractSlider>
#include <QTimer>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QScrollBar;

constexpr int REBUILD_IF_CHANGED = 0;
constexpr int REBUILD_AFTER_DELETE = 1;
constexpr int REBUILD_AFTER_SNAPSHOT = 3;

// How long the window waits for a folder walk. A walk that takes longer (a
// share whose server does not answer) goes on in the background while the
// window keeps the list it has; its list is taken when it ends.
constexpr int WALK_WAIT_MS = 1000;
// How often the window looks whether such a walk has ended.
constexpr int WALK_POLL_MS = 50;

// The photo paths a walk found, in walk order: filled by the walk thread,
// read by the window only after the walk ended.
using WalkedPaths = std::vector<std::string>;

// What the folder check compares: the pictures folder's modification time, or
// that its status could not be read. The time is kept to the nanosecond the
// file system records: in whole seconds, a photo another program adds within
// the second of the last look would not show until the folder changed again.
struct FolderStatus {
    bool bKnown = false;     // false until the first check remembers one
    bool bReadable = false;  // the status could be read
    std::time_t m_mtime = 0; // whole seconds
    long m_nMtimeNsec = 0;   // and the nanoseconds within the second

    friend bool operator==(const FolderStatus&, const FolderStatus&) = default;
};
FolderStatus ReadFolderStatus(const std::string& path);

// The main window's library members besides the strip's.
struct LibraryMembers {
    int m_nCapTimes = 0;          // the next picture number to try; 10000 = none above
    int m_sync_dir_status = 0;    // 1 while a save or a deletion runs
    std::string m_strPhotoFolder; // the pictures folder with one trailing '/'
    std::string m_szPicturesPath; // the same without it
    FolderStatus m_folderStatus;
    CFolderWalker m_folderWalker;
    unsigned char* m_pDecodeBuffer = nullptr; // DECODE_BUFFER_BYTES
};

struct LibraryHooks {
    StripView view;
    QScrollBar* scrollBar = nullptr;
    std::function<void()> updateDeleteButton;
    // Writes m_nCapTimes to the settings (called at every change).
    std::function<void(int)> storeCounter;
    std::function<void(const std::string&)> openFile;
    std::function<std::uint16_t()> languageId;
};

class CPhotoLibrary {
public:
    // codec is JpegFileCodec() in the program.
    CPhotoLibrary(StripState& strip, LibraryMembers& members, const JpegCodec& codec,
                  LibraryHooks hooks);

    // Folder scanner.
    void StartupScan();
    void RebuildPhotoList(int mode);
    // Timer 3 and window activation.
    void FolderCheck();
    // The walk's per-file callback; context is the WalkedPaths to fill.
    static void OnPhotoFile(const char* path, void* context);

    // Thumbnail strip.
    void RenderThumbnailStrip();
    void UpdateScrollRange();
    void OnHScroll(QAbstractSlider::SliderAction action);
    void OnHScrollCode(int code, int position);
    // The bar's valueChanged: a move that came by no action.
    void OnScrollValueChanged(int value);
    void OnThumbClick(unsigned flags, std::uint32_t packedPoint);
    void OnThumbDoubleClick(std::uint32_t packedPoint);
    // What a click and a double-click do to photo index, wherever they come
    // from (the mouse, the keyboard, a screen reader). Out-of-range indexes
    // do nothing.
    void SelectPhoto(int index, unsigned flags);
    void OpenPhoto(int index);

    // Snapshot store.
    void OnSnapshotButton();
    void OnSnapshotReady();

    // Deletion.
    void OnDeleteButton();

private:
    // Starts the walk for a rebuild of the given mode and waits for it up to
    // WALK_WAIT_MS; a walk that ends in time is taken at once.
    void WalkPhotoFolder(int mode);
    // The list of the ended walk becomes the photo list, with the strip state
    // the mode sets.
    void TakeWalkedList(int mode);
    // The selection and scroll state a rebuild of the mode leaves.
    void SetStripState(int mode);
    void OnWalkPoll();
    void StoreCounter();
    int ClickedPhoto(std::uint32_t packedPoint) const;
    void UpdateDeleteButton();
    enum class NameChoice { Chosen, Declined, LookupFailed };
    NameChoice ChooseSnapshotName(std::string& name);

    StripState& m_strip;
    LibraryMembers& m_members;
    const JpegCodec& m_codec;
    LibraryHooks m_hooks;
    CThumbnailStrip m_thumbnails;
    bool m_bSettingBar = false; // the strip's own code sets the bar

    std::shared_ptr<WalkedPaths> m_pWalked; // the running or last walk's list
    bool m_bWalkLate = false;               // a walk outlived its wait and still runs
    int m_nLateMode = 0;                    // the mode its list is taken with
    bool m_bWalkAgain = false;              // a rebuild was asked for while it ran
    int m_nAgainMode = 0;
    QTimer m_walkPoll;
};
