#pragma once

struct CommandLine;
class DirectoryService;
class QTextStream;

// The batch modes over command.files, in order: each file loaded and analysed as the open
// command does, then its page written and its results given. A file that fails gets one line
// on err and leaves no page and no row; the others are still done. Returns the exit status:
// 0 when every file succeeded, 1 otherwise.
int RunBatch(const CommandLine& command, DirectoryService& directory, QTextStream& out,
             QTextStream& err);

// The whole batch process: no window and no display, the offscreen platform, only as much of
// Qt as the output needs.
int RunBatchProcess(int& argc, char** argv, const CommandLine& command);

// --import: the annual series of command.files[0] written to command.importOut through the
// checked writer; each year left out is one line on err. Returns 0 when the series was written,
// 1 when the file could not be imported or the series not written (nothing is then written).
int RunImport(const CommandLine& command, QTextStream& err);

// The import as a process of its own: no window, no display, Qt Core only.
int RunImportProcess(int& argc, char** argv, const CommandLine& command);
