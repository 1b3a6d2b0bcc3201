// The sample tap: the store's reuse rules, and the hand-over between the streaming thread and the
// window thread under stress (this test also runs in the thread-sanitizer build).
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "audio/GraphHelpers.h"
#include "audio/SampleBuffer.h"
#include "audio/SampleTap.h"

// GLib and GStreamer are not built for the thread sanitizer and synchronize through futexes it
// cannot see; their own allocations and frees are left out of its view. Our code stays checked.
extern "C" const char* __tsan_default_suppressions() {
    return "called_from_lib:libglib-2.0.so\n"
           "called_from_lib:libgobject-2.0.so\n"
           "called_from_lib:libgstreamer-1.0.so\n"
           "called_from_lib:libgstbase-1.0.so\n"
           "called_from_lib:libgstaudio-1.0.so\n"
           "called_from_lib:libgstaudiotestsrc.so\n"
           "called_from_lib:libgstcoreelements.so\n";
}

namespace {

TEST(SampleTap, BufferCallbackKeepsTheLargerAllocationAndRefusesNull) {
    SampleBuffer& shared = TheSampleBuffer();
    shared.Free();
    CSampleTapCallback& tap = TheSampleTapCallback();
    std::vector<std::uint8_t> a(4000, 1), b(2000, 2), c(6000, 3);

    ASSERT_EQ(tap.BufferCB(0.5, a.data(), 4000), S_OK);
    ASSERT_EQ(tap.BufferCB(0.6, b.data(), 2000), S_OK);
    EXPECT_EQ(shared.Capacity(), 4000u);
    EXPECT_EQ(shared.Length(), 2000u);
    EXPECT_DOUBLE_EQ(shared.SampleTime(), 0.6);

    EXPECT_EQ(tap.BufferCB(0.9, nullptr, 10), E_POINTER);
    EXPECT_EQ(shared.Length(), 2000u);
    EXPECT_DOUBLE_EQ(shared.SampleTime(), 0.6);

    ASSERT_EQ(tap.BufferCB(0.7, c.data(), 6000), S_OK);
    EXPECT_EQ(shared.Capacity(), 6000u);
    std::vector<std::uint8_t> out;
    shared.CopyOut(out);
    EXPECT_EQ(out, c);

    // A failed allocation leaves no data; the next callback tries again.
    shared.SetAllocationLimitForTesting(7000);
    std::vector<std::uint8_t> big(8000, 4);
    EXPECT_EQ(tap.BufferCB(0.8, big.data(), 8000), E_OUTOFMEMORY);
    EXPECT_EQ(shared.Length(), 0u);
    shared.SetAllocationLimitForTesting(0);
    EXPECT_EQ(tap.BufferCB(0.9, big.data(), 8000), S_OK);
    EXPECT_EQ(shared.Length(), 8000u);
    shared.Free();
}

// A counting callback: tells whether it ran after it was unhooked.
class CountingCallback : public ISampleGrabberCB {
public:
    unsigned long AddRef() override { return 2; }
    unsigned long Release() override { return 1; }
    HRESULT SampleCB(double, void*) override { return S_OK; }
    HRESULT BufferCB(double t, std::uint8_t* buffer, long len) override {
        calls.fetch_add(1);
        if (!hooked.load()) lateCalls.fetch_add(1);
        return TheSampleTapCallback().BufferCB(t, buffer, len);
    }
    std::atomic<bool> hooked{false};
    std::atomic<int> calls{0}, lateCalls{0};
};

TEST(SampleTap, StreamingThreadAndWindowThreadShareTheBufferSafely) {
    EnsureGstInitialized();
    TheSampleBuffer().Free();
    CSampleGrabber grabber;
    ASSERT_NE(grabber.Element(), nullptr);
    ASSERT_EQ(grabber.SetMediaType(), S_OK);
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* src = gst_element_factory_make("audiotestsrc", nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    ASSERT_TRUE(src && sink);
    // Small buffers of varying size, as fast as the machine goes.
    g_object_set(src, "samplesperbuffer", 64, "is-live", FALSE, nullptr);
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), src, grabber.Element(), sink, nullptr);
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format=S16LE,channels=2,rate=44100");
    ASSERT_TRUE(gst_element_link_filtered(src, grabber.Element(), caps));
    gst_caps_unref(caps);
    ASSERT_TRUE(gst_element_link(grabber.Element(), sink));

    CountingCallback callback;
    ASSERT_EQ(gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE, true);
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int rounds = 0;
    std::vector<std::uint8_t> copy;
    while (std::chrono::steady_clock::now() < until) {
        callback.hooked = true;
        grabber.SetCallback(&callback, 1);
        for (int i = 0; i < 50; ++i) {
            TheSampleBuffer().Read([&](const std::uint8_t* bytes, std::uint32_t length, double) {
                if (bytes && length) copy.assign(bytes, bytes + length);
            });
            TheSampleBuffer().SampleTime();
        }
        // Unhooking waits for a callback in progress; then the window thread owns the buffer.
        grabber.SetCallback(nullptr, 1);
        callback.hooked = false;
        TheSampleBuffer().Fill(0);
        TheSampleBuffer().Read([&](const std::uint8_t* bytes, std::uint32_t length, double) {
            for (std::uint32_t i = 0; bytes && i < length; ++i) ASSERT_EQ(bytes[i], 0) << "refilled after unhook";
        });
        ++rounds;
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    EXPECT_GT(callback.calls.load(), 100);
    EXPECT_EQ(callback.lateCalls.load(), 0);
    EXPECT_GT(rounds, 10);
    TheSampleBuffer().Free();
}

TEST(GraphHelpers, TraceIsCutAt1023Characters) {
    static std::string seen;
    SetTraceSink([](const char* text) { seen = text; });
    std::string longText(5000, 'x');
    Trace("%s", longText.c_str());
    SetTraceSink(nullptr);
    EXPECT_EQ(seen.size(), 1023u);
}

TEST(GraphHelpers, GetPinCountsPadsOfOneDirection) {
    EnsureGstInitialized();
    GstElement* identity = nullptr;
    ASSERT_EQ(CreateFilter("identity", "Probe", &identity), S_OK);
    GstPad* pin = nullptr;
    EXPECT_EQ(GetPin(identity, PINDIR_INPUT, 0, &pin), S_OK);
    ASSERT_NE(pin, nullptr);
    gst_object_unref(pin);
    EXPECT_EQ(GetPin(identity, PINDIR_OUTPUT, 1, &pin), E_FAIL);
    EXPECT_EQ(pin, nullptr);
    EXPECT_EQ(GetPin(nullptr, PINDIR_OUTPUT, 0, &pin), E_POINTER);
    GstElement* missing = reinterpret_cast<GstElement*>(1);
    EXPECT_EQ(CreateFilter("no-such-element-factory", "x", &missing), E_NOINTERFACE);
    EXPECT_EQ(missing, nullptr);
    VectorListBox names;
    EXPECT_EQ(ListPinNames(identity, PINDIR_OUTPUT, names), S_OK);
    ASSERT_EQ(names.GetCount(), 1);
    EXPECT_EQ(names.GetText(0), "src");
    EXPECT_EQ(ListPinNames(nullptr, PINDIR_OUTPUT, names), E_NOINTERFACE);
    gst_object_unref(identity);
}

TEST(GraphHelpers, SortedListBoxKeepsItemDataWithItsEntry) {
    VectorListBox list;
    list.AddString("beta");
    int alpha = list.AddString("Alpha");
    EXPECT_EQ(alpha, 0);
    list.AddString("gamma");
    EXPECT_EQ(list.GetText(0), "Alpha");
    EXPECT_EQ(list.GetText(1), "beta");
    ClearDeviceList(list);
    EXPECT_EQ(list.GetCount(), 0);
}

}  // namespace
