#include "app/camera_dlg.h"
#include "settings_writes.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace {

constexpr const char* FLAGS_KEY = "SOFTWARE\\OrvelCam";

// The window's own graph service, passed through, counting the graphs made:
// every preview start makes one.
class CountingGraphService : public IMediaGraphService {
public:
    explicit CountingGraphService(std::unique_ptr<IMediaGraphService> real)
        : m_pReal(std::move(real)) {}

    HRESULT CreateVideoInputEnum(std::unique_ptr<IEnumMoniker>& devices) override {
        return m_pReal->CreateVideoInputEnum(devices);
    }
    std::unique_ptr<IFilterGraph> CreateFilterGraph() override {
        ++m_nGraphs;
        return m_pReal->CreateFilterGraph();
    }
    HRESULT CreateSampleGrabber(std::shared_ptr<ISampleGrabber>& grabber) override {
        return m_pReal->CreateSampleGrabber(grabber);
    }
    HRESULT CreateNullRenderer(std::shared_ptr<IBaseFilter>& renderer) override {
        return m_pReal->CreateNullRenderer(renderer);
    }
    HRESULT CreateCaptureGraphBuilder(std::unique_ptr<ICaptureGraphBuilder2>& builder) override {
        return m_pReal->CreateCaptureGraphBuilder(builder);
    }

    int m_nGraphs = 0;

private:
    // Keeps the graph the window already runs alive.
    std::unique_ptr<IMediaGraphService> m_pReal;
};

// What "ApmSuspend" holds before the machine wakes up.
struct StoredFlag {
    const char* name;
    std::optional<DWORD> number;     // REG_DWORD
    std::optional<std::string> text; // REG_SZ, terminator included

    friend void PrintTo(const StoredFlag& flag, std::ostream* os) { *os << flag.name; }
};

class WindowResume : public ShownWindow, public ::testing::WithParamInterface<StoredFlag> {
protected:
    void SetUp() override {
        ShownWindow::SetUp();
        auto counting = std::make_unique<CountingGraphService>(std::move(Dlg().m_pGraphService));
        m_pGraphs = counting.get();
        Dlg().m_pGraphService = std::move(counting);
    }

    void Store(const StoredFlag& flag) {
        if (flag.number)
            Dlg().WriteValue(HKEY_CURRENT_USER, FLAGS_KEY, "ApmSuspend", REG_DWORD, &*flag.number,
                             4);
        if (flag.text)
            Dlg().WriteValue(HKEY_CURRENT_USER, FLAGS_KEY, "ApmSuspend", REG_SZ, flag.text->c_str(),
                             static_cast<DWORD>(flag.text->size() + 1));
    }

    CountingGraphService* m_pGraphs = nullptr;
};

TEST_F(WindowResume, FlagOneIsClearedAndThePreviewRestarted) {
    Store({"one", 1, {}});
    SettingsWrites writes;

    Dlg().OnPowerBroadcast(PBT_APMRESUMEAUTOMATIC);

    EXPECT_EQ(writes.Count(), 1);
    EXPECT_EQ(StoredNumber(FLAGS_KEY, "ApmSuspend"), 0);
    EXPECT_EQ(m_pGraphs->m_nGraphs, 1) << "the preview is started anew";
    EXPECT_NE(Dlg().m_graph.m_pGraph, nullptr) << "and runs";

    // Cleared, so the next resume leaves the preview alone.
    Dlg().OnPowerBroadcast(PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(writes.Count(), 1);
    EXPECT_EQ(m_pGraphs->m_nGraphs, 1);
}

TEST_P(WindowResume, AnyOtherFlagWritesNothingAndKeepsThePreview) {
    Store(GetParam());
    const std::string before = ReadFileBytes(RegistryFilePath());
    SettingsWrites writes;

    Dlg().OnPowerBroadcast(PBT_APMRESUMEAUTOMATIC);

    EXPECT_EQ(writes.Count(), 0);
    EXPECT_EQ(ReadFileBytes(RegistryFilePath()), before);
    EXPECT_EQ(m_pGraphs->m_nGraphs, 0) << "the preview is not restarted";
    EXPECT_NE(Dlg().m_graph.m_pGraph, nullptr) << "the running one goes on";
}

INSTANTIATE_TEST_SUITE_P(Flags, WindowResume,
                         ::testing::Values(StoredFlag{"absent", {}, {}}, StoredFlag{"zero", 0, {}},
                                           StoredFlag{"two", 2, {}},
                                           StoredFlag{"all_bits", 0xFFFFFFFFu, {}},
                                           StoredFlag{"text_one", {}, std::string("1")}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowResume, OtherPowerEventsAreLeftAlone) {
    Store({"one", 1, {}});
    SettingsWrites writes;
    for (UINT nEvent : {0u, 7u, 10u, 0x8013u})
        Dlg().OnPowerBroadcast(nEvent);
    EXPECT_EQ(writes.Count(), 0);
    EXPECT_EQ(StoredNumber(FLAGS_KEY, "ApmSuspend"), 1);
    EXPECT_EQ(m_pGraphs->m_nGraphs, 0);
    EXPECT_TRUE(Dlg().isVisible());
}

} // namespace
