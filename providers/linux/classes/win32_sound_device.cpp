// Win32_SoundDevice: the ALSA cards of /proc/asound/cards, maker from the card's PCI or USB ids.
#include <sstream>

#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

struct Card {
    std::string number;
    std::string name;  // "HDA Intel PCH": the card's name, without the address and interrupt
};

// Lines " 0 [PCH            ]: HDA-Intel - HDA Intel PCH", each followed by the long name.
std::vector<Card> listCards(const RootFs& fs) {
    std::vector<Card> cards;
    std::optional<std::string> text = fs.readOnce("/proc/asound/cards");
    if (!text) return cards;
    std::istringstream lines(*text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string number;
        std::size_t bracket = line.find('[');
        std::size_t dash = line.find(" - ", bracket == std::string::npos ? 0 : bracket);
        if (!(words >> number) || number.find_first_not_of("0123456789") != std::string::npos ||
            bracket == std::string::npos || dash == std::string::npos)
            continue;
        cards.push_back({number, trim(line.substr(dash + 3))});
    }
    return cards;
}

}  // namespace

ObjectList readSoundDevices(const LinuxContext& context) {
    ObjectList objects;
    const LinuxContext* c = &context;
    for (const Card& card : listCards(context.fs)) {
        std::string device = "/sys/class/sound/card" + card.number + "/device";
        newObject(objects)
            .add("ProductName", [card] { return WmiValue::string(card.name); })
            .add("Name", [card] { return WmiValue::string(card.name); })
            .add("Caption", [card] { return WmiValue::string(card.name); })
            .add("Manufacturer",
                 [c, device] {
                     std::optional<BusDevice> bus = busDeviceOf(c->fs, device);
                     return stringOrNull(bus ? vendorName(*c, *bus) : std::nullopt);
                 })
            .add("DeviceID", [card] { return WmiValue::string("card" + card.number); });
    }
    return objects;
}

}  // namespace moravel::lx
