// Registers the plugin on a stand-in engine through the linked module and prints the answer to
// getPlatformVersion as hex, as an application built against the module would get it.
#include <cstdio>

#include "platform/engine/engine_host.h"
#include "plugin/quorlax_plugin_c_api.h"

int main() {
  engine_host::Engine engine;
  QuorlaxPluginCApiRegisterWithRegistrar(engine.CreateRegistrar(true));
  // "getPlatformVersion" with no argument.
  const unsigned char call[] = {0x07, 0x12, 'g', 'e', 't', 'P', 'l', 'a', 't', 'f', 'o',
                                'r',  'm',  'V', 'e', 'r', 's', 'i', 'o', 'n', 0x00};
  const auto response = engine.Response(engine.Deliver("quorlax", call, sizeof(call)));
  for (const unsigned char byte : response->bytes) std::printf("%02X ", byte);
  std::printf("\n");
  return response->answered ? 0 : 1;
}
