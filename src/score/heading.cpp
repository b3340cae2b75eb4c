#include "score/heading.h"

namespace lirovox::score {

std::vector<HeadingItem> Intestazione(const Song& song) {
    std::vector<HeadingItem> items;
    items.reserve(6);
    const std::string num = std::to_string(song.TimeSigNum);
    const std::string den = std::to_string(song.TimeSigDen);
    for (int offset : {0, 112}) {
        items.push_back({"&", 10, 12 + offset});
        items.push_back({num, 20, 0 + offset});
        items.push_back({den, 20, 15 + offset});
    }
    return items;
}

}  // namespace lirovox::score
