// Wine's trace of the program's own calls (the relay channel, for
// WinExec, CreateProcessA and DialogBoxParamA) read into the event lines.
#ifndef TOOLS_WINE_WINETRACE_H
#define TOOLS_WINE_WINETRACE_H

#include <string>
#include <vector>

namespace winerun {

// A C-escaped string as Wine writes them, from the opening quote at `pos`:
// \xNN takes at most maxHexDigits digits (two in traces, four in registry
// files, where a character beyond Latin-1 becomes '?'). *pEnd, if given, is
// after the closing quote.
std::string CEscapedString(const std::string& s, size_t pos, size_t maxHexDigits, size_t* pEnd);

// The lines of a text, CR LF or LF ends, without their line breaks.
std::vector<std::string> SplitLines(const std::string& text);

// Completes the observed events with the trace: each started program's line
// gets how it was started (via=WinExec or via=CreateProcess), a start that
// Windows refused its start-failed line (before the next traced call's
// line, as no program records it), each dialog's
// end the result DialogBoxParamA really returned, and an end is dropped for a
// dialog whose run never returned (the process ended inside it). Without
// traced dialog calls, the ends are left as observed.
std::vector<std::string> WithTracedCalls(const std::vector<std::string>& events,
                                         const std::string& trace);

}  // namespace winerun

#endif
