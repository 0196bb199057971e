#include "archive/LzhModel.h"

#include <cstddef>
#include <cstring>

namespace yar {

void TLzhModel::Start() {
    for (int i = 0; i < kSymbols; ++i) {
        Freq[i] = 1;
        Son[i] = static_cast<uint16_t>(i + kNodes);
        Parent[i + kNodes] = static_cast<uint16_t>(i);
    }
    for (int i = 0, j = kSymbols; j < kNodes; i += 2, ++j) {
        Freq[j] = static_cast<uint16_t>(Freq[i] + Freq[i + 1]);
        Son[j] = static_cast<uint16_t>(i);
        Parent[i] = Parent[i + 1] = static_cast<uint16_t>(j);
    }
    Freq[kNodes] = 0xFFFF;
    Parent[kRoot] = 0;
}

void TLzhModel::RebuildTree() {
    int j = 0;
    for (int i = 0; i < kNodes; ++i) {
        if (Son[i] >= kNodes) {
            Freq[j] = static_cast<uint16_t>((Freq[i] + 1) / 2);
            Son[j] = Son[i];
            ++j;
        }
    }
    for (int i = 0, node = kSymbols; node < kNodes; i += 2, ++node) {
        const auto f = static_cast<uint16_t>(Freq[i] + Freq[i + 1]);
        int k = node;
        while (k > 0 && Freq[k - 1] > f) --k;
        const auto moved = static_cast<size_t>(node - k);
        std::memmove(&Freq[k + 1], &Freq[k], moved * sizeof Freq[0]);
        std::memmove(&Son[k + 1], &Son[k], moved * sizeof Son[0]);
        Freq[k] = f;
        Son[k] = static_cast<uint16_t>(i);
    }
    for (int i = 0; i < kNodes; ++i) SetParentOfChildren(i);
}

} // namespace yar
