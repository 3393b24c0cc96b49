#pragma once
// The control values the user set on one camera, kept in the settings file
// as a camera's driver keeps them: under a key of their own, one subkey per
// camera named by its stable id, one number per control named by its id in
// eight hex digits ("00980902"=dword:00000000). Only values the user changed
// are here, never a snapshot of the driver's state.

#include "platform/win_types.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

inline constexpr char KEPT_CONTROLS_KEY[] = "SOFTWARE\\NimbrelVizor\\CameraControls";

class CKeptCameraValues {
public:
    // Keeps nothing when either is empty (no settings folder, no camera id).
    CKeptCameraValues(std::string registryPath, std::string cameraId);

    // The camera's key below KEPT_CONTROLS_KEY: the id with every character
    // the store cannot hold in a key name ('\', control characters) replaced.
    const std::string& Key() const { return m_strKey; }

    // Values whose name or type is not one of ours are passed over.
    std::map<DWORD, int> Load() const;
    // Each write is one locked update of the file; a failure is traced.
    void Keep(const std::map<DWORD, int>& values) const;
    void Drop(const std::vector<DWORD>& ids) const;
    // Removes the camera's key.
    void Forget() const;

private:
    void Write(const char* what, const std::function<void(class CRegistryDocument&)>& edit) const;

    std::string m_strPath;
    std::string m_strKey;
};
