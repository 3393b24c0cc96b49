#include "capture/camera_discovery.h"

#include <string>

namespace {

bool IsPreferredName(const std::string& name) {
    for (const char* preferred : PREFERRED_CAMERA_NAMES) {
        // Exact: same length, same code units; no case folding, no trimming.
        if (name == preferred)
            return true;
    }
    return false;
}

} // namespace

void FindCameraFilter(IMediaGraphService& service, std::shared_ptr<ICaptureFilter>* ppFilter) {
    if (!ppFilter)
        return;
    ppFilter->reset();

    std::unique_ptr<IEnumMoniker> devices;
    service.CreateVideoInputEnum(devices);
    if (!devices)
        return;

    devices->Reset();
    std::shared_ptr<IMoniker> device;
    while (devices->Next(device) == S_OK && device) {
        // Each device's bag and values are dropped at the end of its turn.
        std::shared_ptr<IPropertyBag> bag;
        if (FAILED(device->BindToStorage(bag)) || !bag) {
            device.reset();
            continue;
        }
        std::string name;
        if (FAILED(bag->Read("FriendlyName", name))) {
            device.reset();
            continue;
        }
        if (IsPreferredName(name)) {
            device->BindToObject(*ppFilter);
            if (*ppFilter)
                return;
        }
        // A listed model whose filter could not be made still gets its chance
        // through the class rule.
        std::string clsid;
        if (SUCCEEDED(bag->Read("CLSID", clsid)) && clsid == KSPROXY_CLSID) {
            device->BindToObject(*ppFilter);
            if (*ppFilter)
                return;
        }
        device.reset();
    }
    ppFilter->reset();
}
