#include "tools/yar/ExitCodes.h"

#include "archive/ArchiveErrors.h"
#include "archive/Segment.h"
#include "system/FileServices.h"
#include "tools/builder/BuildErrors.h"
#include "tools/yar/TerminalPrompts.h"
#include "tools/yar/ToolErrors.h"

#include <filesystem>
#include <iostream>

namespace yar::tool {
namespace {

int Fail(int code, const char* message) {
    std::cerr << "yar: " << message << "\n";
    return code;
}

} // namespace

int RunGuarded(const std::function<int()>& command) {
    // The kinds of a base come before it. Anything else is a fault of the tool and is not dressed up.
    try {
        return command();
    } catch (const EUsageError& e) {
        return Fail(YarExitUsage, e.what());
    } catch (const builder::EBuildLimit& e) { // inputs an archive or a set cannot hold
        return Fail(YarExitUsage, e.what());
    } catch (const ESegAborted& e) {
        return Fail(YarExitAborted, e.what());
    } catch (const EVolumeUnavailable& e) {
        return Fail(YarExitAborted, e.what());
    } catch (const ESegStreamError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const ESegError& e) { // the set's own records
        return Fail(YarExitDamaged, e.what());
    } catch (const ECompressError& e) { // the container's and the decoders'
        return Fail(YarExitDamaged, e.what());
    } catch (const EListError& e) { // a set whose name list holds no file
        return Fail(YarExitDamaged, e.what());
    } catch (const EToolFileError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const builder::EVolumeFileError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const EStreamError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const EInOutError& e) {
        return Fail(YarExitFile, e.what());
    } catch (const std::filesystem::filesystem_error& e) {
        return Fail(YarExitFile, e.what());
    }
}

} // namespace yar::tool
