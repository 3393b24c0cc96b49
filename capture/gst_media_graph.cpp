#include "capture/gst_media_graph.h"

#include "capture/device_class.h"
#include "capture/gst_filter_graph.h"
#include "capture/gst_filters.h"
#include "capture/pipewire_daemon_watch.h"
#include "capture/test_camera.h"
#include "platform/device_ids.h"
#include "platform/trace.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

// How long the PipeWire provider's own thread is given to handle its lost
// daemon before the provider is stopped.
constexpr int PROVIDER_STOP_DELAY_MS = 1000;

// One device as the list shows it: its two properties and how to make its
// source element.
struct DeviceRecord {
    std::string strFriendlyName;
    std::string strClsid;
    std::string strDeviceId;
    GstDevicePtr pDevice; // null for the test camera
    GstCapsPtr pTestCaps; // the test camera's advertised formats
};

std::string DeviceProperty(GstDevice* device, const char* key) {
    const GstStructurePtr props(gst_device_get_properties(device));
    std::string value;
    if (props) {
        if (const char* text = gst_structure_get_string(props.get(), key))
            value = text;
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

// Which stack serves a device. PipeWire's nodes say what they wrap.
enum class CameraStack { PipeWire, V4l2, LibCamera, Other };

CameraStack StackOf(GstDevice* device) {
    const char* type = G_OBJECT_TYPE_NAME(device);
    if (std::strcmp(type, "GstPipeWireDevice") == 0)
        return DeviceProperty(device, "device.api") == "libcamera" ? CameraStack::LibCamera
                                                                   : CameraStack::PipeWire;
    if (std::strcmp(type, "GstV4l2Device") == 0)
        return CameraStack::V4l2;
    if (std::strcmp(type, "GstLibcameraDevice") == 0)
        return CameraStack::LibCamera;
    return CameraStack::Other;
}

// The V4L2 driver behind a device, as PipeWire's node or the V4L2 provider
// gives it; empty when neither does.
std::string DriverName(GstDevice* device) {
    for (const char* key : {"api.v4l2.cap.driver", "v4l2.device.driver"}) {
        std::string driver = DeviceProperty(device, key);
        if (!driver.empty())
            return driver;
    }
    return {};
}

std::string DisplayName(GstDevice* device) {
    const GCharPtr name(gst_device_get_display_name(device));
    return name ? name.get() : "";
}

// Stays the same for as long as the device is plugged in: PipeWire's node
// serial, else the V4L2 node, else the name.
std::string DeviceIdentity(GstDevice* device) {
    std::string id = DeviceProperty(device, "object.serial");
    if (id.empty())
        id = DeviceNodePath(device);
    if (id.empty())
        id = DisplayName(device);
    return std::string(G_OBJECT_TYPE_NAME(device)) + ":" + id;
}

// The number of a /dev/videoN node; -1 without one.
long NodeNumber(const std::string& path) {
    constexpr std::string_view prefix = "/dev/video";
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0)
        return -1;
    char* end = nullptr;
    const long n = std::strtol(path.c_str() + prefix.size(), &end, 10);
    return *end == '\0' && n >= 0 ? n : -1;
}

// One device of the monitor's list, before the duplicates go.
struct ListedDevice {
    GstDevicePtr pDevice;
    CameraStack stack = CameraStack::Other;
    std::string strName;
    long nNode = -1;
};

// One entry per physical camera, in node number order. The same camera can
// come from several providers: PipeWire wraps the V4L2 node (and hides the
// V4L2 provider while it runs), libcamera lists UVC cameras a second time. Of
// two entries on one node the PipeWire one is kept; a libcamera entry goes
// when a V4L2-backed entry carries its name (libcamera names a UVC camera by
// its model, as the V4L2 driver does).
std::vector<ListedDevice> OnePerCamera(std::vector<ListedDevice> devices) {
    auto backedByV4l2 = [](const ListedDevice& d) {
        return d.stack == CameraStack::V4l2 || (d.stack == CameraStack::PipeWire && d.nNode >= 0);
    };
    auto duplicate = [&](const ListedDevice& d) {
        for (const ListedDevice& other : devices) {
            if (d.stack == CameraStack::LibCamera && backedByV4l2(other) &&
                other.strName == d.strName)
                return true;
            if (d.stack == CameraStack::V4l2 && other.stack == CameraStack::PipeWire &&
                d.nNode >= 0 && other.nNode == d.nNode)
                return true;
        }
        return false;
    };
    std::vector<bool> drop;
    for (const ListedDevice& d : devices)
        drop.push_back(duplicate(d));
    std::vector<ListedDevice> kept;
    for (std::size_t i = 0; i < devices.size(); ++i)
        if (!drop[i])
            kept.push_back(std::move(devices[i]));
    // Numbers, not text: /dev/video2 before /dev/video10. Devices without a
    // node last, in the monitor's order.
    std::stable_sort(kept.begin(), kept.end(), [](const ListedDevice& a, const ListedDevice& b) {
        if ((a.nNode < 0) != (b.nNode < 0))
            return b.nNode < 0;
        return a.nNode < b.nNode;
    });
    return kept;
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

// The format each device was last set to, by device id: the next graph of the
// same camera starts in it, so a size the camera refuses leaves the camera in
// the format it had.
using FormatMemory = std::map<std::string, VideoFormat>;

class CDeviceMoniker final : public IMoniker {
public:
    CDeviceMoniker(std::shared_ptr<DeviceRecord> record, std::shared_ptr<FormatMemory> formats)
        : m_pRecord(std::move(record)), m_pFormats(std::move(formats)) {}

    HRESULT BindToStorage(std::shared_ptr<IPropertyBag>& bag) override {
        bag = std::make_shared<CPropertyBag>(m_pRecord->strFriendlyName, m_pRecord->strClsid);
        return S_OK;
    }

    HRESULT BindToObject(std::shared_ptr<ICaptureFilter>& filter) override {
        filter.reset();
        CameraControlSource controls;
        std::unique_ptr<CPipeWireConnection> connection;
        GstElementPtr source;
        GstCapsPtr caps;
        if (m_pRecord->pDevice) {
            GstDevice* device = m_pRecord->pDevice.get();
            if (GstElement* element = gst_device_create_element(device, nullptr))
                source.reset(GST_ELEMENT(gst_object_ref_sink(element)));
            GObjectClass* sourceClass = source ? G_OBJECT_GET_CLASS(source.get()) : nullptr;
            if (sourceClass && g_object_class_find_property(sourceClass, "fd")) {
                // No daemon listens (it has just gone): without a connection
                // of its own the source would share the device provider's.
                connection = CPipeWireConnection::Open();
                if (!connection)
                    return E_FAIL;
                g_object_set(source.get(), "fd", connection->Fd(), nullptr);
            }
            // A PipeWire source otherwise hands on frames that share the
            // stream's own buffers, which the stream's thread takes back when
            // the camera's node or the daemon goes: a converter still reading
            // one then crashes the process (about one unplug in ten on the
            // rig). The copy is made under the stream's lock, so what goes
            // downstream is ours.
            if (sourceClass && g_object_class_find_property(sourceClass, "always-copy"))
                g_object_set(source.get(), "always-copy", TRUE, nullptr);
            caps.reset(gst_device_get_caps(device));
            controls.strDevicePath = DeviceNodePath(device);
            controls.strCameraId = StableDeviceId(controls.strDevicePath);
        } else {
            source = CreateTestCameraSource(IsJpegOnly(m_pRecord->pTestCaps.get()));
            caps.reset(gst_caps_copy(m_pRecord->pTestCaps.get()));
            controls.bColorBalance = true;
        }
        // A camera udev does not know is known by its name.
        if (controls.strCameraId.empty())
            controls.strCameraId = "name:" + m_pRecord->strFriendlyName;
        const std::string& id = m_pRecord->strDeviceId;
        const auto remembered = m_pFormats->find(id);
        auto camera = CGstCaptureFilter::Create(
            std::move(source), std::move(caps), m_pRecord->strFriendlyName, std::move(controls),
            remembered != m_pFormats->end() ? &remembered->second : nullptr);
        if (!camera)
            return E_FAIL;
        camera->SetFormatListener(
            [formats = m_pFormats, id](const VideoFormat& format) { (*formats)[id] = format; });
        camera->SetDeviceId(m_pRecord->strDeviceId);
        camera->SetConnection(std::move(connection));
        filter = std::move(camera);
        return S_OK;
    }

private:
    std::shared_ptr<DeviceRecord> m_pRecord;
    std::shared_ptr<FormatMemory> m_pFormats;
};

class CDeviceEnum final : public IEnumMoniker {
public:
    CDeviceEnum(std::vector<std::shared_ptr<DeviceRecord>> devices,
                std::shared_ptr<FormatMemory> formats)
        : m_devices(std::move(devices)), m_pFormats(std::move(formats)) {}
    HRESULT Reset() override {
        m_nNext = 0;
        return S_OK;
    }
    HRESULT Next(std::shared_ptr<IMoniker>& device) override {
        device.reset();
        if (m_nNext >= m_devices.size())
            return S_FALSE;
        device = std::make_shared<CDeviceMoniker>(m_devices[m_nNext++], m_pFormats);
        return S_OK;
    }

private:
    std::vector<std::shared_ptr<DeviceRecord>> m_devices;
    std::shared_ptr<FormatMemory> m_pFormats;
    std::size_t m_nNext = 0;
};

// The process's one device monitor: started at first use and never stopped.
// Listing through a monitor that was never started probes every provider
// again, and doing that while a PipeWire stream of this process runs crashes
// the PipeWire plugin. So it runs for the program's life and reports hotplug
// to whichever service watches.
//
// Its PipeWire provider lists the cameras of the daemon it connected to, and
// goes on listing them after that daemon has gone; nor does it ever connect
// to the next one. So the watch follows the daemon itself: when it goes, the
// provider is stopped and its cameras are reported gone; when one listens
// again, the provider starts afresh and its cameras arrive. It is never
// stopped while its daemon lives: the plugin's stop then races the
// provider's own thread and corrupts the heap (seen with 0.3.65).
class CDeviceWatch {
public:
    static CDeviceWatch& Instance() {
        // Never destroyed: a started monitor must not be freed.
        static CDeviceWatch* watch = new CDeviceWatch();
        return *watch;
    }

    // The video sources now listed. Empty when the monitor could not start.
    // UI thread.
    GstObjectListPtr Devices() {
        GList* devices = m_bStarted ? gst_device_monitor_get_devices(m_pMonitor.get()) : nullptr;
        // Between its daemon's end and its stop the PipeWire provider still
        // lists that daemon's cameras: none of them can be opened any more.
        if (m_pPipeWire && !m_bProviderConnected)
            devices = WithoutDevicesOf(devices, GST_OBJECT(m_pPipeWire.get()));
        return GstObjectListPtr(devices);
    }

    // report runs on a provider's thread; null stops the reports to owner.
    void SetReport(const void* owner, std::function<void(const DeviceChange&)> report) {
        std::lock_guard lock(m_lock);
        if (report) {
            m_pOwner = owner;
            m_report = std::move(report);
        } else if (m_pOwner == owner) {
            m_pOwner = nullptr;
            m_report = nullptr;
        }
    }

private:
    CDeviceWatch() : m_pMonitor(gst_device_monitor_new()) {
        if (g_object_is_floating(m_pMonitor.get()))
            gst_object_ref_sink(m_pMonitor.get());
        gst_device_monitor_add_filter(m_pMonitor.get(), "Video/Source", nullptr);
        const GstBusPtr bus(gst_device_monitor_get_bus(m_pMonitor.get()));
        gst_bus_set_sync_handler(bus.get(), &CDeviceWatch::OnMonitorMessage, this, nullptr);
        m_bStarted = gst_device_monitor_start(m_pMonitor.get());
        if (!m_bStarted)
            Trace("device monitor did not start: no camera can be found");
        else
            FollowPipeWire();
    }

    static GList* WithoutDevicesOf(GList* devices, GstObject* provider) {
        for (GList* l = devices; l;) {
            GList* next = l->next;
            const std::unique_ptr<GstObject, GstObjectUnref> parent(
                gst_object_get_parent(GST_OBJECT(l->data)));
            if (parent.get() == provider) {
                gst_object_unref(l->data);
                devices = g_list_delete_link(devices, l);
            }
            l = next;
        }
        return devices;
    }

    void FollowPipeWire() {
        // The provider is one object per process, the one the monitor started.
        m_pPipeWire.reset(gst_device_provider_factory_get_by_name("pipewiredeviceprovider"));
        // The daemon's socket is watched from an event loop; without the
        // plugin or a loop there is nothing to follow.
        if (!m_pPipeWire || !QCoreApplication::instance())
            return;
        m_pDaemon = std::make_unique<CPipeWireDaemonWatch>([this] { OnPipeWireGone(); },
                                                           [this] { OnPipeWireBack(); });
        m_bProviderConnected = m_pDaemon->Connected();
    }

    // UI thread: the daemon's end of the watch's connection closed. Its
    // cameras are gone at once; the provider is stopped a moment later: its
    // own thread handles the lost connection too and reads the provider's
    // connection member, which the stop clears before it waits for that
    // thread (a crash in the plugin when both meet).
    void OnPipeWireGone() {
        if (!m_bProviderConnected)
            return;
        m_bProviderConnected = false;
        std::vector<std::string> gone;
        const GstObjectListPtr devices(gst_device_provider_get_devices(m_pPipeWire.get()));
        for (GList* l = devices.get(); l; l = l->next)
            gone.push_back(DeviceIdentity(GST_DEVICE(l->data)));
        for (const std::string& id : gone)
            Report(DeviceChange{false, id});
        QTimer::singleShot(PROVIDER_STOP_DELAY_MS, m_pDaemon.get(), [this] {
            if (!m_bProviderConnected)
                StopProvider();
        });
    }

    // UI thread: a daemon listens again. Its cameras come as the provider's
    // additions.
    void OnPipeWireBack() {
        // Started while no daemon listened, the provider holds no connection
        // and its stop has nothing to race.
        StopProvider();
        m_bProviderStarted = gst_device_provider_start(m_pPipeWire.get());
        m_bProviderConnected = m_bProviderStarted;
    }

    void StopProvider() {
        // The stop posts no removals of its own: the provider's bus is
        // flushed first.
        if (m_bProviderStarted)
            gst_device_provider_stop(m_pPipeWire.get());
        m_bProviderStarted = false;
    }

    void Report(const DeviceChange& change) {
        std::lock_guard lock(m_lock);
        if (m_report)
            m_report(change);
    }

    // A provider's thread: a device came or went.
    static GstBusSyncReply OnMonitorMessage(GstBus*, GstMessage* message, gpointer self) {
        // A handler that drops a message owns it.
        const GstMessagePtr owned(message);
        auto* watch = static_cast<CDeviceWatch*>(self);
        const GstMessageType type = GST_MESSAGE_TYPE(message);
        if (type == GST_MESSAGE_DEVICE_ADDED || type == GST_MESSAGE_DEVICE_REMOVED) {
            GstDevice* rawDevice = nullptr;
            if (type == GST_MESSAGE_DEVICE_ADDED)
                gst_message_parse_device_added(message, &rawDevice);
            else
                gst_message_parse_device_removed(message, &rawDevice);
            const GstDevicePtr device(rawDevice);
            DeviceChange change;
            change.bAdded = type == GST_MESSAGE_DEVICE_ADDED;
            if (device)
                change.strDeviceId = DeviceIdentity(device.get());
            watch->Report(change);
        }
        return GST_BUS_DROP;
    }

    std::unique_ptr<GstDeviceMonitor, GstObjectUnref> m_pMonitor;
    bool m_bStarted = false;
    std::mutex m_lock; // guards the report against the providers' threads
    const void* m_pOwner = nullptr;
    std::function<void(const DeviceChange&)> m_report;
    // The PipeWire provider and its daemon; touched on the UI thread only.
    std::unique_ptr<GstDeviceProvider, GstObjectUnref> m_pPipeWire;
    std::unique_ptr<CPipeWireDaemonWatch> m_pDaemon;
    bool m_bProviderStarted = true;    // by the monitor's start, or since a daemon came back
    bool m_bProviderConnected = false; // started while a daemon listened, which has not gone
};

class CGstMediaGraphService final : public IMediaGraphService {
public:
    CGstMediaGraphService() : m_watch(CDeviceWatch::Instance()) {}
    ~CGstMediaGraphService() override { m_watch.SetReport(this, nullptr); }

    HRESULT CreateVideoInputEnum(std::unique_ptr<IEnumMoniker>& devices) override {
        devices.reset();
        std::vector<std::shared_ptr<DeviceRecord>> list = ListDevices();
        if (list.empty())
            return S_FALSE;
        devices = std::make_unique<CDeviceEnum>(std::move(list), m_pFormats);
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

    // Reports are handed to the thread that created the service; what is
    // still queued when the service goes is dropped with its context object.
    void WatchDevices(std::function<void(const DeviceChange&)> onChange) override {
        if (!onChange) {
            m_watch.SetReport(this, nullptr);
            return;
        }
        m_watch.SetReport(this, [context = &m_context, onChange](const DeviceChange& change) {
            QMetaObject::invokeMethod(
                context, [onChange, change] { onChange(change); }, Qt::QueuedConnection);
        });
    }

private:
    std::vector<std::shared_ptr<DeviceRecord>> ListDevices() {
        std::vector<ListedDevice> found;
        const GstObjectListPtr devices = m_watch.Devices();
        for (GList* l = devices.get(); l; l = l->next) {
            GstDevice* device = GST_DEVICE(l->data);
            ListedDevice listed;
            listed.pDevice.reset(GST_DEVICE(gst_object_ref(device)));
            listed.stack = StackOf(device);
            listed.strName = DisplayName(device);
            listed.nNode = NodeNumber(DeviceNodePath(device));
            found.push_back(std::move(listed));
        }

        std::vector<std::shared_ptr<DeviceRecord>> list;
        for (ListedDevice& listed : OnePerCamera(std::move(found))) {
            GstDevice* device = listed.pDevice.get();
            auto record = std::make_shared<DeviceRecord>();
            record->strFriendlyName = listed.strName;
            // Other sources carry their own class string, never the cameras'.
            // The caps are those the device was listed with: nothing is probed.
            const GstCapsPtr caps(gst_device_get_caps(device));
            record->strClsid = listed.stack != CameraStack::Other
                                   ? CameraStackClass(caps.get(), DriverName(device))
                                   : std::string("{") + G_OBJECT_TYPE_NAME(device) + "}";
            record->strDeviceId = DeviceIdentity(device);
            record->pDevice = std::move(listed.pDevice);
            list.push_back(std::move(record));
        }

        if (GstCapsPtr caps = TestCameraCaps(std::getenv(TEST_CAMERA_VARIABLE))) {
            auto record = std::make_shared<DeviceRecord>();
            record->strFriendlyName = TEST_CAMERA_NAME;
            record->strClsid = KSPROXY_CLSID;
            record->pTestCaps = std::move(caps);
            list.insert(list.begin(), std::move(record));
        }
        return list;
    }

    CDeviceWatch& m_watch;
    std::shared_ptr<FormatMemory> m_pFormats = std::make_shared<FormatMemory>();
    // Lives on the creating thread; queued reports run in its context.
    QObject m_context;
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
