// Registrars and the registrar table over the stand-in engine: what each asks the engine, what it
// owns and the order in which it lets go.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "binding/messaging/binary_messenger.h"
#include "binding/registrar/plugin_registrar_windows.h"
#include "binding/registrar/registrar_table.h"
#include "platform/engine/engine_host.h"

namespace flutter {
namespace {

using engine_host::Engine;
using testing::ElementsAre;
using testing::IsEmpty;

// Records its destruction, and on its way out shows that the messenger still works.
class TestPlugin : public Plugin {
 public:
  TestPlugin(std::vector<std::string>* events, std::string name, BinaryMessenger* messenger)
      : events_(events), name_(std::move(name)), messenger_(messenger) {}
  ~TestPlugin() override {
    events_->push_back(name_);
    if (messenger_ != nullptr) messenger_->SetChannelHandler(name_, nullptr);
  }

 private:
  std::vector<std::string>* events_;
  std::string name_;
  BinaryMessenger* messenger_;
};

TEST(PluginRegistrarWindowsTest, AsksTheEngineForMessengerTextureRegistrarAndView) {
  Engine engine;
  const FlutterDesktopPluginRegistrarRef handle = engine.CreateRegistrar(true);
  const PluginRegistrarWindows registrar(handle);
  EXPECT_THAT(engine.CallTexts(),
              ElementsAre("FlutterDesktopPluginRegistrarGetMessenger(registrar#1) -> messenger#1",
                          "FlutterDesktopRegistrarGetTextureRegistrar(registrar#1) -> "
                          "texture-registrar#1",
                          "FlutterDesktopPluginRegistrarGetView(registrar#1) -> view#1"));
  ASSERT_NE(registrar.GetView(), nullptr);
  EXPECT_EQ(registrar.GetView()->GetEngineView(), engine.ViewOf(handle));
  EXPECT_EQ(registrar.GetMessenger(), registrar.GetMessenger());
  // The messenger wraps the registrar's engine messenger.
  registrar.GetMessenger()->SetChannelHandler("ch", nullptr);
  EXPECT_EQ(engine.Calls().back().arguments[0], "messenger#1");
}

TEST(PluginRegistrarWindowsTest, ARegistrarWithoutAViewHasNone) {
  Engine engine;
  const PluginRegistrarWindows registrar(engine.CreateRegistrar(false));
  EXPECT_EQ(registrar.GetView(), nullptr);
}

TEST(PluginRegistrarWindowsTest, PluginsGoFirstInDescendingAddressWhileTheMessengerWorks) {
  Engine engine;
  std::vector<std::string> events;
  std::vector<std::string> expected;
  {
    PluginRegistrarWindows registrar(engine.CreateRegistrar(true));
    auto first = std::make_unique<TestPlugin>(&events, "first", registrar.GetMessenger());
    auto second = std::make_unique<TestPlugin>(&events, "second", registrar.GetMessenger());
    expected = std::less<const void*>()(first.get(), second.get())
                   ? std::vector<std::string>{"second", "first"}
                   : std::vector<std::string>{"first", "second"};
    registrar.AdoptPlugin(std::move(first));
    registrar.AdoptPlugin(std::move(second));
    EXPECT_THAT(events, IsEmpty());
    engine.ClearCalls();
  }
  EXPECT_EQ(events, expected);
  // The only engine calls are the plugins' own, made while the messenger still existed.
  EXPECT_THAT(engine.CallTexts(), ElementsAre("FlutterDesktopMessengerSetCallback(messenger#1, \"" +
                                                  expected[0] + "\", null, null)",
                                              "FlutterDesktopMessengerSetCallback(messenger#1, \"" +
                                                  expected[1] + "\", null, null)"));
  EXPECT_THAT(engine.Violations(), IsEmpty());
}

class RegistrarTableTest : public testing::Test {
 protected:
  std::vector<std::string> events_;
};

TEST_F(RegistrarTableTest, OneWrapperPerHandleWithTheCallbackInstalledOnEveryLookUp) {
  Engine engine;
  const FlutterDesktopPluginRegistrarRef handle = engine.CreateRegistrar(true);
  RegistrarTable& table = RegistrarTable::Instance();
  EXPECT_EQ(&table, &RegistrarTable::Instance());
  PluginRegistrarWindows* wrapper = table.FindOrCreate(handle);
  EXPECT_EQ(table.FindOrCreate(handle), wrapper);
  EXPECT_THAT(engine.CallTexts(),
              ElementsAre(testing::StartsWith("FlutterDesktopPluginRegistrarGetMessenger"),
                          testing::StartsWith("FlutterDesktopRegistrarGetTextureRegistrar"),
                          testing::StartsWith("FlutterDesktopPluginRegistrarGetView"),
                          "FlutterDesktopPluginRegistrarSetDestructionHandler(registrar#1, fn#1)",
                          "FlutterDesktopPluginRegistrarSetDestructionHandler(registrar#1, fn#1)"));
  EXPECT_EQ(engine.DestructionHandlerOf(handle), &RegistrarDestructionHandler);
  engine.DestroyRegistrar(handle);
}

TEST_F(RegistrarTableTest, DestructionDestroysOnlyThatHandlesWrapperAndPlugins) {
  Engine engine;
  const FlutterDesktopPluginRegistrarRef one = engine.CreateRegistrar(true);
  const FlutterDesktopPluginRegistrarRef two = engine.CreateRegistrar(false);
  RegistrarTable& table = RegistrarTable::Instance();
  PluginRegistrarWindows* first = table.FindOrCreate(one);
  PluginRegistrarWindows* second = table.FindOrCreate(two);
  EXPECT_NE(first, second);
  first->AdoptPlugin(std::make_unique<TestPlugin>(&events_, "one", nullptr));
  second->AdoptPlugin(std::make_unique<TestPlugin>(&events_, "two", nullptr));

  EXPECT_TRUE(engine.DestroyRegistrar(one));
  EXPECT_THAT(events_, ElementsAre("one"));  // before the engine's call returned
  engine.ClearCalls();
  EXPECT_EQ(table.FindOrCreate(two), second);

  EXPECT_TRUE(engine.DestroyRegistrar(two));
  EXPECT_THAT(events_, ElementsAre("one", "two"));
  EXPECT_THAT(engine.Violations(), IsEmpty());
}

TEST_F(RegistrarTableTest, AHandleLookedUpAgainAfterDestructionGetsAFreshWrapper) {
  Engine engine;
  const FlutterDesktopPluginRegistrarRef handle = engine.CreateRegistrar(true);
  RegistrarTable& table = RegistrarTable::Instance();
  table.FindOrCreate(handle)->AdoptPlugin(std::make_unique<TestPlugin>(&events_, "old", nullptr));
  RegistrarDestructionHandler(handle);  // as the engine would
  EXPECT_THAT(events_, ElementsAre("old"));
  engine.ClearCalls();
  table.FindOrCreate(handle);
  EXPECT_THAT(engine.CallTexts(), testing::SizeIs(4));  // built anew, with no plugins
  RegistrarDestructionHandler(handle);
  EXPECT_THAT(events_, ElementsAre("old"));
}

TEST_F(RegistrarTableTest, DestructionOfAnUnknownHandleChangesNothing) {
  Engine engine;
  const FlutterDesktopPluginRegistrarRef known = engine.CreateRegistrar(true);
  RegistrarTable::Instance().FindOrCreate(known)->AdoptPlugin(
      std::make_unique<TestPlugin>(&events_, "known", nullptr));
  RegistrarDestructionHandler(reinterpret_cast<FlutterDesktopPluginRegistrarRef>(&events_));
  EXPECT_THAT(events_, IsEmpty());
  engine.DestroyRegistrar(known);
  EXPECT_THAT(events_, ElementsAre("known"));
}

}  // namespace
}  // namespace flutter
