#include "facade/class_factory.h"

#include <string>

#include "component/clsin_inputintra.h"
#include "facade/clsin_intrabo.h"
#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {

ObjectPtr CreateObject(std::string_view progId, std::shared_ptr<HostServices> services) {
  if (EqualsIgnoreCase(progId, "ZELMORA.CLSIN_INTRABO")) return std::make_shared<CLSIN_INTRABO>(std::move(services));
  if (EqualsIgnoreCase(progId, "ZELMORA.CLSIN_INPUTINTRA")) return std::make_shared<CLSIN_INPUTINTRA>();
  throw Error(429, "ActiveX component can't create object: " + std::string(progId));
}

}  // namespace zelmora
