#include "capture/test_camera.h"

#include "capture/camera_control_model.h"
#include "capture/video_caps.h"

#include <gst/video/colorbalance.h>
#include <linux/videodev2.h>

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr int TEST_CAMERA_FPS = 30;
constexpr LONG MAX_TEST_CAMERA_SIDE = 8192;

void AppendFormat(GstCaps* caps, const std::string& subtype, LONG width, LONG height) {
    GstCapsPtr one = CapsForFormat(subtype, width, height);
    if (!one)
        return;
    gst_caps_set_simple(one.get(), "framerate", GST_TYPE_FRACTION, TEST_CAMERA_FPS, 1, nullptr);
    gst_caps_append(caps, one.release());
}

// SUBTYPE:WxH; false when the item is not of that form.
bool ParseItem(const QByteArray& item, std::string& subtype, LONG& width, LONG& height) {
    const QList<QByteArray> parts = item.trimmed().split(':');
    if (parts.size() != 2)
        return false;
    const QList<QByteArray> size = parts[1].split('x');
    if (size.size() != 2)
        return false;
    bool okW = false;
    bool okH = false;
    width = size[0].toInt(&okW);
    height = size[1].toInt(&okH);
    subtype = parts[0].toStdString();
    // Sizes a camera could have; anything else is not a narrowing of ours.
    return okW && okH && width > 0 && height > 0 && width <= MAX_TEST_CAMERA_SIDE &&
           height <= MAX_TEST_CAMERA_SIDE && !subtype.empty();
}

// videobalance's channels under the V4L2 ids of the same controls, so the
// test camera's settings go through the model every camera uses. 0 for a
// channel label that is none of the four.
DWORD ControlIdOf(const char* label) {
    static constexpr std::pair<const char*, DWORD> kIds[] = {
        {"BRIGHTNESS", V4L2_CID_BRIGHTNESS},
        {"CONTRAST", V4L2_CID_CONTRAST},
        {"SATURATION", V4L2_CID_SATURATION},
        {"HUE", V4L2_CID_HUE},
    };
    for (const auto& [name, id] : kIds) {
        if (label && std::strcmp(label, name) == 0)
            return id;
    }
    return 0;
}

class CColorBalanceControls final : public ICameraControls {
public:
    explicit CColorBalanceControls(GstElementPtr balance) : m_pBalance(std::move(balance)) {}

    HRESULT GetControls(std::vector<CameraControl>& controls) override {
        controls.clear();
        GstColorBalance* balance = GST_COLOR_BALANCE(m_pBalance.get());
        for (const GList* l = gst_color_balance_list_channels(balance); l; l = l->next) {
            GstColorBalanceChannel* channel = GST_COLOR_BALANCE_CHANNEL(l->data);
            const DWORD id = ControlIdOf(channel->label);
            if (id == 0)
                continue;
            CameraControl control;
            control.nId = id;
            control.strName = ReadableControlName(channel->label);
            control.kind = CameraControl::Kind::Integer;
            control.page = CameraControl::Page::Picture;
            control.nMinimum = channel->min_value;
            control.nMaximum = channel->max_value;
            control.nStep = 1;
            // videobalance's neutral setting sits in the middle of each range.
            control.nDefault = (channel->min_value + channel->max_value) / 2;
            control.nValue = gst_color_balance_get_value(balance, channel);
            controls.push_back(std::move(control));
        }
        // In id order, as a V4L2 driver lists them.
        std::sort(controls.begin(), controls.end(),
                  [](const CameraControl& a, const CameraControl& b) { return a.nId < b.nId; });
        return S_OK;
    }

    HRESULT SetControl(DWORD nId, int nValue) override {
        GstColorBalance* balance = GST_COLOR_BALANCE(m_pBalance.get());
        for (const GList* l = gst_color_balance_list_channels(balance); l; l = l->next) {
            GstColorBalanceChannel* channel = GST_COLOR_BALANCE_CHANNEL(l->data);
            if (ControlIdOf(channel->label) != nId)
                continue;
            if (nValue < channel->min_value || nValue > channel->max_value)
                return E_INVALIDARG;
            // videobalance applies it to the next frame it processes.
            gst_color_balance_set_value(balance, channel, nValue);
            return S_OK;
        }
        return E_INVALIDARG;
    }

private:
    GstElementPtr m_pBalance;
};

} // namespace

GstCapsPtr TestCameraCaps(const char* value) {
    if (!value)
        return nullptr;
    GstCapsPtr caps(gst_caps_new_empty());
    const QList<QByteArray> items = QByteArray(value).split(',');
    bool narrowed = true;
    int jpegItems = 0;
    for (const QByteArray& item : items) {
        std::string subtype;
        LONG width = 0;
        LONG height = 0;
        if (!ParseItem(item, subtype, width, height)) {
            narrowed = false;
            break;
        }
        jpegItems += subtype == "MJPG" ? 1 : 0;
        AppendFormat(caps.get(), subtype, width, height);
    }
    // One chain serves either raw or JPEG frames, never both.
    if (jpegItems != 0 && jpegItems != items.size())
        narrowed = false;
    if (!narrowed || gst_caps_is_empty(caps.get())) {
        caps.reset(gst_caps_new_empty());
        for (const char* subtype : {"YUY2", "I420"}) {
            AppendFormat(caps.get(), subtype, 640, 480);
            AppendFormat(caps.get(), subtype, 320, 240);
            AppendFormat(caps.get(), subtype, 1280, 1024);
        }
    }
    return caps;
}

bool IsJpegOnly(const GstCaps* caps) {
    if (!caps || gst_caps_is_empty(caps))
        return false;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        if (!gst_structure_has_name(gst_caps_get_structure(caps, i), "image/jpeg"))
            return false;
    }
    return true;
}

GstElementPtr CreateTestCameraSource(bool bJpeg) {
    GstElementPtr bin(gst_bin_new(nullptr));
    gst_object_ref_sink(bin.get());
    const GstElementPtr source = MakeElement("videotestsrc");
    const GstElementPtr balance = MakeElement("videobalance", "balance");
    const GstElementPtr encoder = bJpeg ? MakeElement("jpegenc") : nullptr;
    if (!source || !balance || (bJpeg && !encoder))
        return nullptr;
    // A camera delivers frames in real time; so does the test camera.
    g_object_set(source.get(), "is-live", TRUE, nullptr);
    gst_bin_add_many(GST_BIN(bin.get()), source.get(), balance.get(), nullptr);
    GstElement* last = balance.get();
    if (encoder) {
        gst_bin_add(GST_BIN(bin.get()), encoder.get());
        last = encoder.get();
    }
    if (!gst_element_link(source.get(), balance.get()) ||
        (encoder && !gst_element_link(balance.get(), encoder.get())))
        return nullptr;
    const GstPadPtr pad(gst_element_get_static_pad(last, "src"));
    gst_element_add_pad(bin.get(), gst_ghost_pad_new("src", pad.get()));
    return bin;
}

std::shared_ptr<ICameraControls> CreateColorBalanceControls(GstElement* sourceBin) {
    if (!sourceBin || !GST_IS_BIN(sourceBin))
        return nullptr;
    GstElementPtr balance(gst_bin_get_by_name(GST_BIN(sourceBin), "balance"));
    if (!balance)
        return nullptr;
    return std::make_shared<CColorBalanceControls>(std::move(balance));
}
