#include "system/MemoryRegistry.h"

#include <algorithm>

#include "util/Text.h"

namespace yar {

namespace {

bool NamesFit(const std::vector<std::string>& names) {
    return std::ranges::none_of(names, [](const std::string& n) { return n.size() > kMaxRegKeyNameLength; });
}

// The map key of a path, nothing when a name in it is longer than Windows allows.
std::optional<std::string> MapKeyOf(const std::string& key) {
    if (!NamesFit(KeyPathNames(key))) return std::nullopt;
    return UpperAnsiText(NormalKeyPath(key));
}

// The key at path in keys, const or not as keys is; null when it is missing.
template <typename Keys> auto* FindIn(Keys& keys, const std::string& key) {
    using TFound = decltype(&keys.begin()->second);
    const auto mapKey = MapKeyOf(key);
    if (!mapKey) return TFound{};
    const auto found = keys.find(*mapKey);
    return found == keys.end() ? TFound{} : &found->second;
}

bool HasPrefix(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

TMemoryRegistry::TMemoryRegistry() {
    for (TKeys& keys : Roots_) keys.emplace("", TKey{});
}

bool TMemoryRegistry::CreateKey(TRegRoot root, const std::string& key) {
    return MakeKey(root, key).has_value();
}

bool TMemoryRegistry::CreateNewKey(TRegRoot root, const std::string& key) {
    return MakeKey(root, key).value_or(false);
}

std::optional<bool> TMemoryRegistry::MakeKey(TRegRoot root, const std::string& key) {
    const std::vector<std::string> names = KeyPathNames(key);
    if (!NamesFit(names)) return std::nullopt;
    TKeys& keys = Roots_.at(root);
    std::string path;
    bool made = false;
    for (const std::string& name : names) {
        if (!path.empty()) path += '\\';
        path += UpperAnsiText(name);
        made = keys.try_emplace(path, TKey{name, {}}).second; // an existing key keeps its name
    }
    return made;
}

bool TMemoryRegistry::WriteString(TRegRoot root, const std::string& key, const std::string& name,
                                  const std::string& value) {
    return WriteValue(root, key, name, {kRegString, std::string(UpToNul(value))});
}

bool TMemoryRegistry::DeleteValue(TRegRoot root, const std::string& key, const std::string& name) {
    TKey* found = FindIn(Roots_.at(root), key);
    return found && found->Values.erase(UpperAnsiText(UpToNul(name))) != 0;
}

std::optional<std::string> TMemoryRegistry::ReadString(TRegRoot root, const std::string& key,
                                                       const std::string& name) const {
    const std::optional<TRegValue> value = ReadValue(root, key, name);
    if (!value || (value->Type != kRegString && value->Type != kRegExpandString)) return std::nullopt;
    return std::string(UpToNul(value->Bytes));
}

bool TMemoryRegistry::WriteInteger(TRegRoot root, const std::string& key, const std::string& name,
                                   uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>((value >> shift) & 0xFF);
    return WriteValue(root, key, name, {kRegNumber, bytes});
}

std::optional<uint32_t> TMemoryRegistry::ReadInteger(TRegRoot root, const std::string& key,
                                                     const std::string& name) const {
    const std::optional<TRegValue> value = ReadValue(root, key, name);
    if (!value || value->Type != kRegNumber || value->Bytes.size() != 4) return std::nullopt;
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value->Bytes[i]);
    return number;
}

std::optional<TRegValue> TMemoryRegistry::ReadValue(TRegRoot root, const std::string& key,
                                                    const std::string& name) const {
    const TKey* found = FindIn(Roots_.at(root), key);
    if (!found) return std::nullopt;
    const auto value = found->Values.find(UpperAnsiText(UpToNul(name)));
    if (value == found->Values.end()) return std::nullopt;
    return value->second;
}

bool TMemoryRegistry::WriteValue(TRegRoot root, const std::string& key, const std::string& name,
                                 const TRegValue& value) {
    TKey* found = FindIn(Roots_.at(root), key);
    const std::string_view cName = UpToNul(name);
    if (!found || cName.size() > kMaxRegValueNameLength) return false;
    found->Values[UpperAnsiText(cName)] = value; // a value has one type
    return true;
}

bool TMemoryRegistry::KeyExists(TRegRoot root, const std::string& key) const {
    return FindIn(Roots_.at(root), key) != nullptr;
}

bool TMemoryRegistry::DeleteKey(TRegRoot root, const std::string& key) {
    const auto mapKey = MapKeyOf(key);
    if (!mapKey || mapKey->empty()) return false;
    TKeys& keys = Roots_.at(root);
    if (!keys.contains(*mapKey)) return false;
    const std::string below = *mapKey + '\\';
    auto last = keys.lower_bound(below);
    while (last != keys.end() && HasPrefix(last->first, below)) ++last;
    keys.erase(keys.lower_bound(below), last);
    keys.erase(*mapKey);
    return true;
}

std::vector<std::string> TMemoryRegistry::SubKeyNames(TRegRoot root, const std::string& key) const {
    const auto mapKey = MapKeyOf(key);
    std::vector<std::string> names;
    const TKeys& keys = Roots_.at(root);
    if (!mapKey || !keys.contains(*mapKey)) return names;
    // Names that sort before "\" ("A B" for "A") come between a key and the keys below it.
    const std::string below = mapKey->empty() ? std::string() : *mapKey + '\\';
    for (auto it = below.empty() ? keys.upper_bound("") : keys.lower_bound(below);
         it != keys.end() && HasPrefix(it->first, below); ++it)
        if (it->first.find('\\', below.size()) == std::string::npos) names.push_back(it->second.Name);
    return names;
}

} // namespace yar
