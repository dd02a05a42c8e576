// Identifiers of the instrument settings pages' controls (25000 and up, a hundred a page by page
// number), created by the settings strip on a page's first display. Each row's drop-down list or edit
// has its own; the three up-down controls follow their page's rows at +50; the rows' labels send
// nothing and share one.
#pragma once

#define IDC_SETTING_LABEL               24999

// ACQU, page 0
#define IDC_ACQU_MODE                   25000
#define IDC_ACQU_SPEED                  25001
#define IDC_ACQU_WINDOW                 25002
#define IDC_ACQU_MIN_CYCLES             25003
#define IDC_ACQU_DELAY                  25004
#define IDC_ACQU_FILTER                 25005
#define IDC_ACQU_BANDWIDTH              25006
#define IDC_ACQU_GRAPH                  25007
#define IDC_ACQU_COMPUTATION            25008
#define IDC_ACQU_TIMEBASE               25009
#define IDC_ACQU_TRIGGER_LEVEL          25010
#define IDC_ACQU_TRIGGER_MODE           25011
#define IDC_ACQU_TRIGGER_POLARITY       25012
#define IDC_ACQU_PRETRIGGER             25013
#define IDC_ACQU_TRACES                 25014
#define IDC_ACQU_TRIGGER_CHANNEL        25015
#define IDC_ACQU_MIN_CYCLES_SPIN        25050
#define IDC_ACQU_DELAY_SPIN             25051

// SWEEP, page 1
#define IDC_SWEEP_DISPLAY               25100
#define IDC_SWEEP_START                 25101
#define IDC_SWEEP_END                   25102
#define IDC_SWEEP_STEPS                 25103
#define IDC_SWEEP_SCALE                 25104
#define IDC_SWEEP_TYPE                  25105
#define IDC_SWEEP_PEAK_HOLD             25106
#define IDC_SWEEP_GAIN_SCALE            25107
#define IDC_SWEEP_GAIN_MAX              25108
#define IDC_SWEEP_GAIN_MIN              25109
#define IDC_SWEEP_PHASE_SCALE           25110
#define IDC_SWEEP_PHASE_MAX             25111
#define IDC_SWEEP_PHASE_MIN             25112
#define IDC_SWEEP_FREQUENCY_MARK        25113
#define IDC_SWEEP_MARKER1               25114
#define IDC_SWEEP_MARKER2               25115
#define IDC_SWEEP_SEARCH_PEAK           25116
#define IDC_SWEEP_STEPS_SPIN            25150

// TRIM, page 2
#define IDC_TRIM_AC_TRIM                25200
#define IDC_TRIM_AC_LEVEL               25201
#define IDC_TRIM_TOLERANCE              25202

// OUT, page 6
#define IDC_OUT_AMP_CONTROL             25600
#define IDC_OUT_LOW_AMP1                25601
#define IDC_OUT_AMP_STEP1               25602
#define IDC_OUT_LOW_AMP2                25603
#define IDC_OUT_AMP_STEP2               25604
#define IDC_OUT_WAVEFORM                25605
#define IDC_OUT_GEN_FREQUENCY           25606
#define IDC_OUT_STEP_TYPE               25607
#define IDC_OUT_FREQ_STEP1              25608
#define IDC_OUT_FREQ_STEP2              25609
#define IDC_OUT_OUTPUT                  25610

// CH1, page 7
#define IDC_CH1_IMPEDANCE               25700
#define IDC_CH1_SCALE_FACTOR            25701
#define IDC_CH1_INPUT_RANGING           25702
#define IDC_CH1_INPUT_RANGE             25703
#define IDC_CH1_INPUT                   25704

// CH2, page 8
#define IDC_CH2_SCALE_FACTOR            25800
#define IDC_CH2_INPUT_RANGING           25801
#define IDC_CH2_INPUT_RANGE             25802
#define IDC_CH2_INPUT                   25803

// SYS, page 9
#define IDC_SYS_INITIAL_SETTING         25900
#define IDC_SYS_BRIGHTNESS              25901
#define IDC_SYS_DISPLAY                 25902
#define IDC_SYS_ENLARGE                 25903
#define IDC_SYS_PHASE_CONVENTION        25904
#define IDC_SYS_BEEP                    25905
#define IDC_SYS_STEP_MESSAGE            25906
#define IDC_SYS_LANGUAGE                25907

// MODE, page 10
#define IDC_MODE_MODE                   26000
#define IDC_MODE_COMPUTATION            26001
#define IDC_MODE_OFFSET                 26002
#define IDC_MODE_FRA_GRAPH              26003
#define IDC_MODE_MEASUREMENT            26004
#define IDC_MODE_IMP_GRAPH              26005
#define IDC_MODE_TIMEBASE               26006
#define IDC_MODE_TRIGGER_LEVEL          26007
#define IDC_MODE_TRIGGER_MODE           26008
#define IDC_MODE_TRIGGER_POLARITY       26009
#define IDC_MODE_PRETRIGGER             26010
#define IDC_MODE_TRACES                 26011
#define IDC_MODE_TRIGGER_CHANNEL        26012
#define IDC_MODE_BANDWIDTH              26013
