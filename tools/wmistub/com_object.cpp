#include "com_object.h"

namespace wmistub {

LONG gLiveObjects = 0;

}  // namespace wmistub
