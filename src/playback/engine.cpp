#include "playback/engine.h"

namespace lirovox::playback {

const char* OutputKindName(OutputKind kind) {
    switch (kind) {
        case OutputKind::None: return "none";
        case OutputKind::Device: return "device";
        case OutputKind::Null: return "null";
        case OutputKind::Offline: return "offline";
    }
    return "none";
}

}  // namespace lirovox::playback
