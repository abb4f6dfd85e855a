// FlutterView: the engine view a registrar belongs to.
#ifndef QUORLAX_BINDING_REGISTRAR_FLUTTER_VIEW_H_
#define QUORLAX_BINDING_REGISTRAR_FLUTTER_VIEW_H_

#include "engine_api/engine_api.h"

namespace flutter {

// Holds the engine's view handle, borrowed: destroying the FlutterView leaves the engine view
// alone. Lives exactly as long as the registrar that holds it.
class FlutterView {
 public:
  explicit FlutterView(FlutterDesktopViewRef engine_view) noexcept : engine_view_(engine_view) {}
  virtual ~FlutterView() = default;

  FlutterView(const FlutterView&) = delete;
  FlutterView& operator=(const FlutterView&) = delete;

  // For plugin code that asks the engine about its view itself. Valid while the view lives.
  FlutterDesktopViewRef GetEngineView() const noexcept { return engine_view_; }

 private:
  FlutterDesktopViewRef engine_view_;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_REGISTRAR_FLUTTER_VIEW_H_
