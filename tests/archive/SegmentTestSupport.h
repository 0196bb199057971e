// Shared pieces of the segment-set tests: scripted answers to the component's prompts, sets written
// with volumes cut at chosen places, and a fixture with volume, temporary and output directories.
#pragma once

#include "archive/Segment.h"
#include "tests/archive/ContainerTestSupport.h"
#include "tools/builder/SegmentSetWriter.h"

#include <deque>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace yar::test {

// Answers the prompts from queues and records what was shown. A prompt with no answer left fails the
// test and is cancelled, so a faulty run ends instead of asking forever.
class ScriptedPrompts : public TUserPrompts {
public:
    // Each answer may act first (put a volume in place) and returns true for OK, false for Cancel.
    std::deque<std::function<bool()>> BoxAnswers;
    // A text to confirm, or nothing for Cancel.
    std::deque<std::optional<std::string>> DirAnswers;

    std::vector<std::string> Boxes;                          // texts of the message boxes shown
    std::vector<std::pair<std::string, std::string>> Inputs; // caption and value of each input dialog
    int Repaints = 0;
    int CursorDepth = 0; // arrow pointers pushed and not yet popped
    int MessagePumps = 0;

    bool ErrorOkCancel(const std::string& Text) override;
    bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) override;
    void PushArrowCursor() override { ++CursorDepth; }
    void PopCursor() override { --CursorDepth; }
    void RepaintOwner() override { ++Repaints; }
    void ProcessMessages() override { ++MessagePumps; }
};

using TFileList = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// A container archive of the files in the given method.
std::vector<uint8_t> ArchiveOf(const TFileList& files, uint8_t method = coNone);
// A set archive whose name list names every file of the archive, expanded below Dir.
builder::TSegSetArchive SetArchiveOf(const std::string& dir, const TFileList& files);

// Where the pieces of a set's logical stream begin: the set header, each scan record, template and
// name list, each archive header and archive, and the end.
std::vector<std::size_t> PieceOffsets(const std::vector<builder::TSegSetArchive>& archives);

// Writes Stream as a set in Dir, starting a new volume at each offset of Cuts (ascending; an offset
// may repeat, which leaves a volume holding only its volume record). Returns the volume paths.
std::vector<std::string> WriteSetWithCuts(const std::string& dir, const std::string& base,
                                          const std::string& ext, const std::vector<uint8_t>& stream,
                                          std::vector<std::size_t> cuts);

// Whether e is an E, so that a test can tell the kinds of one base apart.
template <class E> bool IsA(const std::exception& e) {
    return dynamic_cast<const E*>(&e) != nullptr;
}

// Open file descriptors of this process, where the platform tells.
std::optional<int> OpenFileCount();

class SegmentTest : public ScratchDir {
protected:
    void SetUp() override;

    std::string VolDir() const { return PathOf("vol"); }
    std::string TmpDir() const { return PathOf("tmp"); }
    std::string OutDir() const { return PathOf("out"); }
    // The template of an archive whose files go to OutDir\sub.
    std::string OutTemplate(const std::string& sub = "") const;

    // Writes archives as one set in VolDir with cuts; the component then reads "segdata".
    std::vector<std::string> WriteSet(const std::vector<builder::TSegSetArchive>& archives,
                                      std::vector<std::size_t> cuts = {});
    // Files left in the temporary directory.
    std::vector<std::string> TmpLeftovers() const;
    // Whether every file of the list is at OutDir\sub with its content.
    void ExpectExpanded(const TFileList& files, const std::string& sub = "") const;

    ScriptedPrompts Prompts;
    TSegCompEZ Seg{&Prompts};
};

} // namespace yar::test
