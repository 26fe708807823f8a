#include "platform/size_units.h"

namespace larkspur {

const SizeUnits kFileManagerUnits = kDecimalUnits;

}  // namespace larkspur
