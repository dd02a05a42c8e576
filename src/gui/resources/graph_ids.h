// Identifiers of the graph window, its menus, its Range dialog and the "Select sweeps for diagnosis"
// dialog, shared by graph_window.rc and the code. Dialog templates and their own controls keep to
// 12300-12399, clear of resource.h and dialog_ids.h.
#pragma once

// The graph window's control row (10919-10924)
#define IDC_GRAPH_LEFT_CURSOR           10919
#define IDC_GRAPH_RIGHT_CURSOR          10920
#define IDC_GRAPH_ACTIVE_SWEEP          10921
#define IDC_GRAPH_LABEL                 10922
#define IDC_GRAPH_DIAGNOSE              10923
#define IDC_GRAPH_SPARE                 10924   // always disabled

// The assessment beside a diagnosis (10930-10940)
#define IDC_ASSESS_FINGERPRINT          10930   // "Fingerprint": the time-based comparison again
#define IDC_ASSESS_PHASES               10931   // "Phases...": construction-based
#define IDC_ASSESS_SISTER               10932   // "Sister Unit...": type-based
#define IDC_ASSESS_CUSTOM               10933   // "Custom Analysis..."
#define IDC_ASSESS_HEADING              10934
#define IDC_ASSESS_FINDINGS_LABEL       10935
#define IDC_ASSESS_FINDINGS             10936
#define IDC_ASSESS_VERDICTS_LABEL       10937
#define IDC_ASSESS_VERDICTS             10938
#define IDC_ASSESS_INDICES_LABEL        10939
#define IDC_ASSESS_INDICES              10940

// Menu bar template
#define IDR_GRAPH_MENU                  12300

// "File" and "Display"
#define IDM_GRAPH_CLOSE                 32795
#define IDM_GRAPH_REPORT                32796
#define IDM_GRAPH_SAVE_BITMAP           32793
#define IDM_GRAPH_COPY_CLIPBOARD        32794

// "Graph Appearance"
#define IDM_GRAPH_LOGARITHMIC           32790
#define IDM_GRAPH_LINEAR                32789
#define IDM_GRAPH_LEFT_AUTO             32779
#define IDM_GRAPH_LEFT_CENTRE           32780
#define IDM_GRAPH_LEFT_MANUAL           32781
#define IDM_GRAPH_RIGHT_AUTO            32801
#define IDM_GRAPH_RIGHT_MANUAL          32802
#define IDM_GRAPH_FREQUENCY_AUTO        32782
#define IDM_GRAPH_FREQUENCY_MANUAL      32783
#define IDM_GRAPH_BACKGROUND_BLACK      32785
#define IDM_GRAPH_BACKGROUND_WHITE      32786
#define IDM_GRAPH_BACKGROUND_CUSTOM     32787
#define IDM_GRAPH_LEFT_CURSOR           32798
#define IDM_GRAPH_RIGHT_CURSOR          32799
// LCR graphs: the quantity of each axis, IDM_GRAPH_..._QUANTITY + quantity number - 1 (1-7)
#define IDM_GRAPH_LEFT_QUANTITY         33750
#define IDM_GRAPH_RIGHT_QUANTITY        33757
#define IDM_GRAPH_QUANTITY_COUNT        7

// "Plot Appearance": one submenu per sweep slot i (0-8), each id PLOT_MENU_ID(base, i)
#define IDM_PLOT_STRIDE                 70
#define PLOT_MENU_ID(base, sweep)       ((base) + IDM_PLOT_STRIDE * (sweep))
#define IDM_PLOT_LEFT_VISIBLE           33802
#define IDM_PLOT_RIGHT_VISIBLE          33803
#define IDM_PLOT_LEFT_THIN              33806   // + weight - 1: Thin, Regular, Thick
#define IDM_PLOT_LEFT_REGULAR           33807
#define IDM_PLOT_LEFT_THICK             33808
#define IDM_PLOT_RIGHT_THIN             33810
#define IDM_PLOT_RIGHT_REGULAR          33811
#define IDM_PLOT_RIGHT_THICK            33812
#define IDM_PLOT_LEFT_COLOUR            33832   // + palette index (0-17)
#define IDM_PLOT_LEFT_CUSTOM            33850   // "Custom..."
#define IDM_PLOT_RIGHT_COLOUR           33852
#define IDM_PLOT_RIGHT_CUSTOM           33870

// Range dialog
#define IDD_GRAPH_RANGE                 12310
#define IDC_RANGE_MIN                   12311
#define IDC_RANGE_MAX                   12312
#define IDC_RANGE_PREVIEW               12313

// "Select sweeps for diagnosis"
#define IDD_DIAGNOSIS_SWEEPS            12320
#define IDC_DIAGNOSIS_FINGERPRINT       209
#define IDC_DIAGNOSIS_SWEEP             210

// "Select phase sweeps"
#define IDD_PHASE_SWEEPS                12330
#define IDC_PHASE_A                     12331
#define IDC_PHASE_B                     12332
#define IDC_PHASE_C                     12333

// "Custom Analysis"
#define IDD_CUSTOM_ANALYSIS             12340
#define IDC_CUSTOM_EDGES                12341
#define IDC_CUSTOM_INDEX                12342
#define IDC_CUSTOM_PASS                 12343
#define IDC_CUSTOM_WARNING              12344
#define IDC_CUSTOM_NONE                 12345   // "DL/T 911 Only": no custom analysis
