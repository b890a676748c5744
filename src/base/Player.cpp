#include "base/Player.h"

namespace bw {

TPlayer Player;

} // namespace bw
