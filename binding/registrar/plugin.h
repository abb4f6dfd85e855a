// Plugin: the base of every plugin object. A registrar owns the plugins adopted by it and
// destroys them through this virtual destructor.
#ifndef QUORLAX_BINDING_REGISTRAR_PLUGIN_H_
#define QUORLAX_BINDING_REGISTRAR_PLUGIN_H_

namespace flutter {

class Plugin {
 public:
  virtual ~Plugin() = default;
};

}  // namespace flutter

#endif  // QUORLAX_BINDING_REGISTRAR_PLUGIN_H_
