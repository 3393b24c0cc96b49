#include "capture/gst_media_graph.h"

#include "capture/gst_filter_graph.h"
#include "capture/gst_filters.h"
#include "capture/test_camera.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

// One device as the list shows it: its two properties and how to make its
// source element.
struct DeviceRecord {
    std::string strFriendlyName;
    std::string strClsid;
    std::string strSortKey;
    GstDevicePtr pDevice; // null for the test camera
    GstCapsPtr pTestCaps; // the test camera's advertised formats
};

// Device classes of the camera stacks whose cameras count as the system's
// own: V4L2 directly, or a PipeWire or libcamera node (PipeWire's provider
// hides the V4L2 one while it runs).
bool IsCameraStackDevice(GstDevice* device) {
    const char* type = G_OBJECT_TYPE_NAME(device);
    return std::strcmp(type, "GstV4l2Device") == 0 || std::strcmp(type, "GstPipeWireDevice") == 0 ||
           std::strcmp(type, "GstLibcameraDevice") == 0;
}

std::string DeviceProperty(GstDevice* device, const char* key) {
    GstStructure* props = gst_device_get_properties(device);
    std::string value;
    if (props) {
        if (const char* text = gst_structure_get_string(props, key))
            value = text;
        gst_structure_free(props);
    }
    return value;
}

// The V4L2 node behind a device, for its controls.
std::string DeviceNodePath(GstDevice* device) {
    for (const char* key : {"device.path", "api.v4l2.path"}) {
        std::string path = DeviceProperty(device, key);
        if (path.rfind("/dev/video", 0) == 0)
            return path;
    }
    return {};
}

class CPropertyBag final : public IPropertyBag {
public:
    CPropertyBag(std::string name, std::string clsid)
        : m_strName(std::move(name)), m_strClsid(std::move(clsid)) {}
    HRESULT Read(const char* name, std::string& value) override {
        if (name && std::strcmp(name, "FriendlyName") == 0)
            value = m_strName;
        else if (name && std::strcmp(name, "CLSID") == 0)
            value = m_strClsid;
        else
            return E_INVALIDARG;
        return S_OK;
    }

private:
    std::string m_strName;
    std::string m_strClsid;
};

class CDeviceMoniker final : public IMoniker {
public:
    explicit CDeviceMoniker(std::shared_ptr<DeviceRecord> record) : m_pRecord(std::move(record)) {}

    HRESULT BindToStorage(std::shared_ptr<IPropertyBag>& bag) override {
        bag = std::make_shared<CPropertyBag>(m_pRecord->strFriendlyName, m_pRecord->strClsid);
        return S_OK;
    }

    HRESULT BindToObject(std::shared_ptr<ICaptureFilter>& filter) override {
        filter.reset();
        CameraControlSource controls;
        GstElementPtr source;
        GstCapsPtr caps;
        if (m_pRecord->pDevice) {
            GstDevice* device = m_pRecord->pDevice.get();
            GstElement* element = gst_device_create_element(device, nullptr);
            if (element)
                source.reset(GST_ELEMENT(gst_object_ref_sink(element)));
            caps.reset(gst_device_get_caps(device));
            controls.strDevicePath = DeviceNodePath(device);
        } else {
            source = CreateTestCameraSource(IsJpegOnly(m_pRecord->pTestCaps.get()));
            caps.reset(gst_caps_copy(m_pRecord->pTestCaps.get()));
            controls.bColorBalance = true;
        }
        filter = CGstCaptureFilter::Create(std::move(source), std::move(caps),
                                           m_pRecord->strFriendlyName, std::move(controls));
        return filter ? S_OK : E_FAIL;
    }

private:
    std::shared_ptr<DeviceRecord> m_pRecord;
};

class CDeviceEnum final : public IEnumMoniker {
public:
    explicit CDeviceEnum(std::vector<std::shared_ptr<DeviceRecord>> devices)
        : m_devices(std::move(devices)) {}
    HRESULT Reset() override {
        m_nNext = 0;
        return S_OK;
    }
    HRESULT Next(std::shared_ptr<IMoniker>& device) override {
        device.reset();
        if (m_nNext >= m_devices.size())
            return S_FALSE;
        device = std::make_shared<CDeviceMoniker>(m_devices[m_nNext++]);
        return S_OK;
    }

private:
    std::vector<std::shared_ptr<DeviceRecord>> m_devices;
    std::size_t m_nNext = 0;
};

class CGstMediaGraphService final : public IMediaGraphService {
public:
    CGstMediaGraphService() : m_pMonitor(gst_device_monitor_new()) {
        if (g_object_is_floating(m_pMonitor.get()))
            gst_object_ref_sink(m_pMonitor.get());
        gst_device_monitor_add_filter(m_pMonitor.get(), "Video/Source", nullptr);
    }

    HRESULT CreateVideoInputEnum(std::unique_ptr<IEnumMoniker>& devices) override {
        devices.reset();
        std::vector<std::shared_ptr<DeviceRecord>> list = ListDevices();
        if (list.empty())
            return S_FALSE;
        devices = std::make_unique<CDeviceEnum>(std::move(list));
        return S_OK;
    }

    std::unique_ptr<IFilterGraph> CreateFilterGraph() override { return CGstFilterGraph::Create(); }

    HRESULT CreateSampleGrabber(std::shared_ptr<ISampleGrabber>& grabber) override {
        grabber = CGstSampleGrabber::Create();
        return grabber ? S_OK : E_FAIL;
    }

    HRESULT CreateNullRenderer(std::shared_ptr<IBaseFilter>& renderer) override {
        renderer = CGstNullRenderer::Create();
        return renderer ? S_OK : E_FAIL;
    }

    HRESULT CreateCaptureGraphBuilder(std::unique_ptr<ICaptureGraphBuilder2>& builder) override {
        builder = std::make_unique<CGstCaptureGraphBuilder>();
        return S_OK;
    }

private:
    std::vector<std::shared_ptr<DeviceRecord>> ListDevices() {
        std::vector<std::shared_ptr<DeviceRecord>> list;
        GList* devices = gst_device_monitor_get_devices(m_pMonitor.get());
        for (GList* l = devices; l; l = l->next) {
            GstDevice* device = GST_DEVICE(l->data);
            auto record = std::make_shared<DeviceRecord>();
            gchar* name = gst_device_get_display_name(device);
            record->strFriendlyName = name ? name : "";
            g_free(name);
            // Other sources carry their own class string, never the cameras'.
            record->strClsid = IsCameraStackDevice(device)
                                   ? std::string(KSPROXY_CLSID)
                                   : std::string("{") + G_OBJECT_TYPE_NAME(device) + "}";
            record->strSortKey = DeviceNodePath(device);
            if (record->strSortKey.empty())
                record->strSortKey = DeviceProperty(device, "object.path");
            record->pDevice.reset(GST_DEVICE(gst_object_ref(device)));
            list.push_back(std::move(record));
        }
        g_list_free_full(devices, gst_object_unref);
        // The monitor's order follows its providers' probing; the node paths
        // give the same order on every call.
        std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
            return a->strSortKey < b->strSortKey;
        });

        if (GstCapsPtr caps = TestCameraCaps(std::getenv(TEST_CAMERA_VARIABLE))) {
            auto record = std::make_shared<DeviceRecord>();
            record->strFriendlyName = TEST_CAMERA_NAME;
            record->strClsid = KSPROXY_CLSID;
            record->pTestCaps = std::move(caps);
            list.insert(list.begin(), std::move(record));
        }
        return list;
    }

    std::unique_ptr<GstDeviceMonitor, GstObjectUnref> m_pMonitor;
};

} // namespace

void InitGStreamer() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

std::unique_ptr<IMediaGraphService> CreateGstMediaGraphService() {
    InitGStreamer();
    return std::make_unique<CGstMediaGraphService>();
}
