// Adding and removing the safe-mode marker in the "Userinit" text. Windows runs every comma-
// separated entry of that list at logon, so the marker brings its own leading comma and removing
// it gives back exactly the text that was there before.
#include "tool/UserinitMarker.h"

#include "system/Text.h"

std::string SafeModeMarker(std::string_view appPath) {
    // A missing APP_PATH still gives a well-formed (if useless) marker: "/Enable" refuses to
    // write it, but "/Disable" can remove one that got into the list some other way.
    return "," + TrimNull(appPath) + " /StartupLock";
}

bool HasMarker(std::string_view userinit, std::string_view marker) {
    return userinit.find(marker) != std::string_view::npos;
}

std::string AddMarker(std::string_view userinit, std::string_view marker) {
    // Appended as is: the usual value already ends in a comma, and the doubled comma (an empty
    // entry) is harmless to Winlogon and keeps the round trip exact.
    std::string result(userinit);
    result += marker;
    return result;
}

std::string RemoveMarker(std::string_view userinit, std::string_view marker) {
    return TrimNull(CutMarker(userinit, marker));
}

std::string CutMarker(std::string_view userinit, std::string_view marker) {
    return CutMarkers(userinit, {marker});
}

std::string CutMarkers(std::string_view userinit, std::initializer_list<std::string_view> markers) {
    // One pass from left to right, taking at each step the leftmost hit of any marker (the first
    // listed on a tie): text that only forms a marker once another one is cut out belongs to
    // someone else and stays.
    std::string result;
    std::size_t pos = 0;
    for (;;) {
        std::size_t hit = std::string_view::npos;
        std::size_t length = 0;
        for (const std::string_view marker : markers) {
            if (marker.empty()) continue;  // nothing to find; avoids an endless loop
            const std::size_t found = userinit.find(marker, pos);
            if (found < hit) {
                hit = found;
                length = marker.size();
            }
        }
        if (hit == std::string_view::npos) break;
        result.append(userinit.substr(pos, hit - pos));
        pos = hit + length;
    }
    result.append(userinit.substr(pos));
    return result;
}

std::string InstalledSafeModeMarker(std::string_view installedProgram) {
    const std::string program = TrimNull(installedProgram);
    if (program.empty() || program.find(',') != std::string::npos) return {};
    return SafeModeMarker(program);
}

std::string CutOwnMarkers(std::string_view userinit, std::string_view installedProgram) {
    const std::string marker = InstalledSafeModeMarker(installedProgram);
    if (marker.empty()) return std::string(userinit);
    // Found in an upper-case copy of the same length, cut from the original: the text around
    // each cut keeps its bytes.
    const std::string upper = ToUpperAscii(userinit);
    const std::string wanted = ToUpperAscii(marker);
    std::string result;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = upper.find(wanted, pos)) != std::string::npos; pos = hit + wanted.size())
        result.append(userinit.substr(pos, hit - pos));
    result.append(userinit.substr(pos));
    return result;
}

bool HasOwnMarker(std::string_view userinit, std::string_view installedProgram) {
    return CutOwnMarkers(userinit, installedProgram).size() != userinit.size();
}

std::string UninstallUserinit(std::string_view userinit, std::string_view installedProgram,
                              std::string_view recordedProgram) {
    // No blank trimming here, unlike "/Disable": the list belongs to Windows and to other
    // programs, and whatever they put around our entry must come out as it went in.
    if (TrimNull(installedProgram).empty()) return std::string(userinit);  // no path, no marker of ours
    const std::string installed = SafeModeMarker(installedProgram);
    // The marker was built from "APP_PATH", which holds the path as the running program saw
    // it; that may differ in case from the folder the uninstaller knows. Both are cut in the
    // same pass, so the text around a cut can never join into a marker and be cut as well.
    const std::string recorded = TrimNull(recordedProgram);
    if (recorded.empty() || ToUpperAscii(recorded) != ToUpperAscii(TrimNull(installedProgram)))
        return CutMarker(userinit, installed);
    return CutMarkers(userinit, {installed, SafeModeMarker(recorded)});
}

bool IsInstalledStartupCommand(std::string_view runValue, std::string_view installedProgram) {
    const std::string program = TrimNull(installedProgram);
    if (program.empty()) return false;
    return ToUpperAscii(TrimNull(runValue)) == ToUpperAscii(program + " /StartupLock");
}
