// Saving or copying the results graph.
#include "gui/app/graph_export.h"

#include <string>

#include "gui/app/layout.h"
#include "gui/app/main_window.h"
#include "gui/app/window_classes.h"
#include "gui/bitmap_file.h"
#include "gui/measure/results_windows.h"
#include "platform/prompter.h"

namespace gui {

void exportGraph(HWND main, bool toFile) {
    std::string path = "*.bmp";
    if (toFile) {
        platform::FileChoice choice;
        choice.title = "Save to Bitmap";
        choice.mustExist = true;   // the folder must exist
        if (!platform::prompter().saveFile(choice, path)) return;
    }
    HWND graph = paneWindow(main, mainState(main).mode == kModeSfra ? kFraResultsClass : kLcrResultsClass);
    const SIZE size = resultsPictureSize(graph);
    if (size.cx <= 0 || size.cy <= 0) return;
    HBITMAP bitmap = drawToBitmap(graph, size.cx, size.cy,
                                  [&](HDC dc) { drawResults(graph, dc, size.cx, size.cy); });
    if (toFile) savePicture(bitmap, path, "Save to Bitmap");
    else copyPicture(main, bitmap, "Copy to Clipboard");
}

}  // namespace gui
