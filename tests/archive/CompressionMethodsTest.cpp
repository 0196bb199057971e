// The method table walked over every value of TCompressionMethod: each method has its row, its id
// names it back, and each method with a decoder comes back through it from the builder's encoder.
#include "archive/CompressionMethods.h"
#include "archive/ArchiveFormat.h"
#include "tests/archive/CodecCorpus.h"
#include "tools/builder/ArchiveWriter.h"
#include "tools/builder/Encoders.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>

namespace yar {
namespace {

TEST(CompressionMethods, EveryValueHasItsRowAndItsIdNamesItBack) {
    std::set<std::string> toolNames;
    for (int ordinal = 0; ordinal < kMethodCount; ++ordinal) {
        const auto method = static_cast<uint8_t>(ordinal);
        const TMethodRow* row = MethodRow(method);
        ASSERT_NE(row, nullptr) << ordinal;
        EXPECT_EQ(row->Method, method);
        EXPECT_EQ(std::string(row->Id).size(), 3u) << row->Id;
        EXPECT_EQ(MethodOrdinalOfID(row->Id), method) << row->Id;
        if (row->ToolName == nullptr) continue;
        EXPECT_TRUE(toolNames.insert(row->ToolName).second) << row->ToolName << " names two methods";
        EXPECT_EQ(MethodOfToolName(row->ToolName), row->Method) << row->ToolName;
    }
    EXPECT_EQ(MethodRow(static_cast<uint8_t>(kMethodCount)), nullptr);
    EXPECT_EQ(MethodOfToolName("stored"), std::nullopt) << "the tool's alias, not a method's name";
}

TEST(CompressionMethods, EachDecoderExpandsWhatItsEncoderStored) {
    const std::vector<uint8_t> data = testing::MixedCorpus(100000, 5);
    for (const TMethodRow& row : CompressionMethods()) {
        SCOPED_TRACE(row.Id);
        if (row.Decode == nullptr) {
            // Only the container's own handler: the tool neither packs nor the builder streams it.
            EXPECT_EQ(row.Method, coCustom);
            EXPECT_EQ(row.ToolName, nullptr);
            EXPECT_THROW(builder::MakeStreamEncoder(row.Method), std::invalid_argument);
            continue;
        }
        EXPECT_NE(row.ToolName, nullptr) << "a method the tool cannot pack";
        const std::vector<uint8_t> stored = builder::EncodeAll(*builder::MakeStreamEncoder(row.Method), data);
        const testing::TExpanded got = testing::Expand(row.Method, stored, data.size());
        EXPECT_TRUE(got.Bytes == data);
        EXPECT_EQ(got.Checksum, testing::ByteSum(data));
    }
}

} // namespace
} // namespace yar
