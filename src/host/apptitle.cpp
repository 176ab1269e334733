#include "host/apptitle.h"

#include "protocol/version.h"

namespace orvenda {

std::string ProgramVersion() {
  return std::to_string(kLibraryVersion.major) + "." + std::to_string(kLibraryVersion.minor) + "." +
         std::to_string(kLibraryVersion.revision);
}

}  // namespace orvenda
