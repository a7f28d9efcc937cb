// A progress bar on standard error for the tool's long runs over a file,
// drawn only when standard error is a terminal and the work is large
// enough to be worth watching.
#pragma once

#include <cstddef>
#include <cstdio>

#include "Foundation/Platform/Terminal.h"

class CT_Progress {
public:
    // Work from this size (in bytes) on shows a bar.
    enum : std::size_t { e_ShownFrom = 1u << 20 };

    // The label goes before the bar, the noun after the count of things done.
    CT_Progress(char const* label, std::size_t total, char const* noun)
        : qccz_Label(label), qccz_Noun(noun), n_Total(total),
          b_Shown(total >= e_ShownFrom && Platform::b_IsStandardErrorTerminal()) {}

    void v_Update(std::size_t done, unsigned count) {
        if (!b_Shown) return;
        int percent = static_cast<int>((done < n_Total ? done : n_Total) * 100 / n_Total);
        if (percent == i_Percent) return;
        i_Percent = percent;
        // What went to standard output so far comes before the bar.
        std::fflush(stdout);
        char bar[41];
        for (int k = 0; k < 40; ++k) bar[k] = k < percent * 40 / 100 ? '#' : '.';
        bar[40] = 0;
        i_Drawn = std::fprintf(stderr, "\r%s [%s] %3d%%  %u %s", qccz_Label, bar, percent, count, qccz_Noun);
        std::fflush(stderr);
    }
    // Ends the bar's line, before a message or at the end; the next
    // update draws it again.
    void v_Finish() {
        if (b_Shown && i_Percent >= 0) std::fprintf(stderr, "\n");
        i_Percent = -1;
    }
    // Wipes the bar off its line, before output that shares the terminal;
    // the next change of the percentage draws it again.
    void v_Erase() {
        if (!b_Shown || i_Percent < 0) return;
        std::fprintf(stderr, "\r%*s\r", i_Drawn > 1 ? i_Drawn - 1 : 0, "");
        std::fflush(stderr);
        i_Percent = -1;
    }

private:
    char const* qccz_Label;
    char const* qccz_Noun;
    std::size_t n_Total;
    bool b_Shown;
    int i_Percent = -1;
    int i_Drawn = 0;  // characters of the last drawing, its carriage return included
};
