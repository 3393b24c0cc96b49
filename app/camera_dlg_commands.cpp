// The buttons' click handlers. Taking a snapshot, deleting photos, the
// resolution menu and the camera's controls are wired in by their own parts
// of the program; until then a click shows only the button's pressed look.

#include "app/camera_dlg.h"

void CCameraDlg::OnSnapshotButton() {}

void CCameraDlg::OnDeleteButton() {}

void CCameraDlg::OnResolutionButton() {}

void CCameraDlg::ShowCameraProperties() {}
