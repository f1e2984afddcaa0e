// The editor's layout: every bitmap and every control of the panel, in one table.
//
// The editor places its controls from this table and the skin generator draws the
// background (legends, scales, section plates) from the same table, so moving a
// control here moves its legend too. Plain constexpr data: no toolkit, no VST.
//
// Rectangles are in 1x panel pixels (left, top, right, bottom; right and bottom
// exclusive). Where a control is placed by its top-left corner, its size is the
// bitmap's width by the bitmap's frame height.
#pragma once

#include <array>
#include <limits>
#include <string_view>

namespace ruvane::layout {

inline constexpr double kEditorWidth = 875;
inline constexpr double kEditorHeight = 171;

// A value the table leaves open: the toolkit's own default stands.
inline constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr bool isSet(double value) { return value == value; }

struct Rect {
    double left = 0, top = 0, right = 0, bottom = 0;

    constexpr double width() const { return right - left; }
    constexpr double height() const { return bottom - top; }
    constexpr double centreX() const { return (left + right) / 2; }
    constexpr double centreY() const { return (top + bottom) / 2; }
    constexpr bool contains(double x, double y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    constexpr bool operator==(const Rect&) const = default;
};

struct Point {
    double x = 0, y = 0;
};

// ---------------------------------------------------------------------------
// Bitmaps
// ---------------------------------------------------------------------------

inline constexpr int kBackgroundBitmap = 128;
inline constexpr int kAboutBitmap = 129;

struct Bitmap {
    int id;
    int width;
    int height;         // the whole strip; frames are stacked vertically
    int frames;
    bool alpha = false; // carries an alpha channel (else fully opaque)

    constexpr int frameHeight() const { return height / frames; }
};

inline constexpr std::array kBitmaps = {
    Bitmap{128, 875, 171, 1},   // frame background
    Bitmap{129, 875, 171, 1},   // about screen
    Bitmap{130, 37, 3636, 101}, // knobs: left delay feedback, feedback pan
    Bitmap{131, 37, 3636, 101}, // knobs: right delay feedback, feedback pan
    Bitmap{132, 36, 3636, 101}, // knob: filter resonance
    Bitmap{133, 36, 3737, 101}, // knob: filter cutoff
    Bitmap{134, 36, 3636, 101}, // knob: filter modulation
    Bitmap{135, 36, 3737, 101}, // knob: LFO phase offset
    Bitmap{136, 36, 3737, 101}, // knob: modulation source
    Bitmap{137, 37, 3737, 101}, // knobs: modulation sensitivity, envelope speed
    Bitmap{138, 36, 3636, 101}, // knob: drive gain
    Bitmap{139, 37, 3636, 101}, // knobs: input, mix, output
    Bitmap{140, 36, 3636, 101}, // knob: VCO manual
    Bitmap{141, 36, 3636, 101}, // knob: VCO modulation
    Bitmap{142, 37, 3636, 101}, // knob: reverb damping
    Bitmap{143, 36, 3636, 101}, // knob: reverb amount
    Bitmap{144, 25, 44, 2},     // bypass button
    Bitmap{145, 24, 40, 2},     // left delay-invert button
    Bitmap{146, 24, 40, 2},     // right delay-invert button
    Bitmap{147, 24, 40, 2},     // left feedback-invert button
    Bitmap{148, 24, 40, 2},     // right feedback-invert button
    Bitmap{149, 24, 40, 2},     // link button
    Bitmap{150, 27, 26, 2},     // delay mode switches (time / note)
    Bitmap{151, 22, 24, 2},     // LFO mode switch (Hz / note)
    Bitmap{152, 23, 24, 2},     // reverb mode and reverb type switches
    Bitmap{153, 30, 39, 3},     // delay range switches
    Bitmap{154, 31, 33, 3},     // filter mode and filter type switches
    Bitmap{155, 8, 52, 2},      // VCO section on button
    Bitmap{157, 7, 50, 2},      // drive section on button
    Bitmap{158, 6, 50, 2},      // filter section on button
    Bitmap{159, 7, 70, 2},      // active lamp
    Bitmap{160, 8, 52, 2},      // modulation section on button
    Bitmap{161, 7, 52, 2},      // reverb section on button
    Bitmap{163, 3, 4, 2},       // value display decimal points
    Bitmap{164, 13, 176, 11},   // value display digits 2-4: blank, 0-9
    Bitmap{165, 13, 208, 13},   // value display digit 1: blank, 0-9, minus, plus
    Bitmap{166, 3, 16, 2},      // value display separator lamps
    Bitmap{167, 20, 38, 2},     // left delay step up
    Bitmap{168, 19, 38, 2},     // left delay step down
    Bitmap{169, 19, 38, 2},     // right delay step up
    Bitmap{170, 19, 38, 2},     // right delay step down
    Bitmap{171, 19, 38, 2},     // LFO step up
    Bitmap{172, 19, 38, 2},     // LFO step down
    Bitmap{173, 7, 945, 21},    // peak meter ladder, -24 dB to 0 dB
    Bitmap{174, 16, 280, 5},    // LFO waveform switch
    Bitmap{990, 17, 45, 3, true},  // green load arrow: idle, hover, pressed
    Bitmap{991, 17, 45, 3},        // red save arrow: idle, hover, pressed
    Bitmap{992, 32, 39, 3},        // BANK legend button
    Bitmap{993, 44, 39, 3},        // PRESET legend button
    Bitmap{994, 28, 39, 3},        // MIDI legend button
    Bitmap{995, 30, 65, 5},        // previous / next rocker
    Bitmap{998, 24, 48, 3, true},  // LEARN button: off, hover, on
    Bitmap{999, 24, 48, 3},        // FORGET button: off, hover, on
};

constexpr const Bitmap* findBitmap(int id) {
    for (const Bitmap& bitmap : kBitmaps)
        if (bitmap.id == id) return &bitmap;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Controls
// ---------------------------------------------------------------------------

enum class ControlKind {
    AnimKnob,
    OnOffButton,
    Switch,
    SwitchVert,
    KickButton,
    InvisibleSlider,
    MovieBitmap,
    About,
    PSKickButton,
    PSOnOffButton,
    PSRockerSwitch,
    SaveLoadButton,
    TextEdit,
    OptionMenu,
    ParamDisplay,
};

// The section a control belongs to; each section with a plate is drawn on one.
enum class Section {
    DelayLeft,
    DelayRight,
    Link,       // the link button, straddling both delay plates
    Tempo,      // value display, tempo drag area, about trigger
    Lfo,        // LFO mode, rate, waveform (part of the modulation plate)
    Modulation, // section on button, offset, source, sensitivity, envelope speed
    Filter,
    Drive,
    Vco,
    Output,
    Reverb,
    PresetStrip,
};

struct Control {
    int tag;
    ControlKind kind;
    Rect rect;
    int bitmap = 0;                // 0: no bitmap
    int frames = 0;                // frames of the bitmap this control shows
    int positions = 0;             // switches: number of positions
    double defaultValue = kNone;   // restored by the default-value gesture
    double startValue = 0;         // value shown with the "Default" preset loaded
    double wheelIncrement = kNone; // knobs
    bool doubleClickOnly = false;  // panel kick buttons that act on a double-click
    Section section = Section::PresetStrip;
    // Faceplate texts: the control's name, and for knobs the two end marks of the
    // scale, for switches the name of each position (left to right, top to bottom).
    std::string_view legend = {};
    std::array<std::string_view, 5> marks = {};
};

// Rectangle of a control placed at (left, top) showing bitmap `id`.
constexpr Rect placed(double left, double top, int id) {
    const Bitmap* bitmap = findBitmap(id);
    if (bitmap == nullptr) return {left, top, left, top};
    return {left, top, left + bitmap->width, top + bitmap->frameHeight()};
}

inline constexpr double kKnobWheelIncrement = 0.03125;
inline constexpr int kKnobFrames = 101;
inline constexpr double kKnobZoomFactor = 5.0;  // the knobs' fine-drag factor

namespace detail {

using K = ControlKind;
using S = Section;

constexpr Control knob(int tag, double x, double y, int id, double byDefault, double start,
                       Section section, std::string_view legend, std::string_view low,
                       std::string_view high) {
    return {.tag = tag, .kind = K::AnimKnob, .rect = placed(x, y, id), .bitmap = id,
            .frames = kKnobFrames, .defaultValue = byDefault, .startValue = start,
            .wheelIncrement = kKnobWheelIncrement, .section = section, .legend = legend,
            .marks = {low, high}};
}

constexpr Control onOff(int tag, double x, double y, int id, double byDefault, double start,
                        Section section, std::string_view legend) {
    return {.tag = tag, .kind = K::OnOffButton, .rect = placed(x, y, id), .bitmap = id,
            .frames = 2, .positions = 2, .defaultValue = byDefault, .startValue = start,
            .section = section, .legend = legend};
}

constexpr Control hSwitch(int tag, double x, double y, int id, int positions, double byDefault,
                          double start, Section section, std::string_view legend,
                          std::array<std::string_view, 5> names) {
    return {.tag = tag, .kind = K::Switch, .rect = placed(x, y, id), .bitmap = id,
            .frames = positions, .positions = positions, .defaultValue = byDefault,
            .startValue = start, .section = section, .legend = legend, .marks = names};
}

constexpr Control kick(int tag, double x, double y, int id, Section section,
                       std::string_view legend) {
    return {.tag = tag, .kind = K::KickButton, .rect = placed(x, y, id), .bitmap = id,
            .frames = 2, .section = section, .legend = legend};
}

constexpr Control area(int tag, Rect rect, double byDefault, double start, Section section,
                       std::string_view legend) {
    return {.tag = tag, .kind = K::InvisibleSlider, .rect = rect, .defaultValue = byDefault,
            .startValue = start, .section = section, .legend = legend};
}

constexpr Control movie(int tag, double x, double y, int id, double start, Section section,
                        std::string_view legend = {}) {
    const Bitmap* bitmap = findBitmap(id);
    return {.tag = tag, .kind = K::MovieBitmap, .rect = placed(x, y, id), .bitmap = id,
            .frames = bitmap ? bitmap->frames : 0, .startValue = start, .section = section,
            .legend = legend};
}

constexpr Control panel(int tag, ControlKind kind, Rect rect, int id, std::string_view legend,
                        bool doubleClickOnly = false) {
    const Bitmap* bitmap = findBitmap(id);
    return {.tag = tag, .kind = kind, .rect = rect, .bitmap = id,
            .frames = bitmap ? bitmap->frames : 0, .doubleClickOnly = doubleClickOnly,
            .section = S::PresetStrip, .legend = legend};
}

// Value display digits start showing the tempo, "120.0".
constexpr double digitOne(int digit) { return (digit + 1) / 12.0; }
constexpr double digit(int digit) { return (digit + 1) / 10.0; }

}  // namespace detail

// Start values of the switch parameters as the "Default" preset stores them.
inline constexpr double kSwitchThirdStart = 0.16666700;  // 3 positions, first
inline constexpr double kRangeStart = 0.83333403;        // 3 positions, last

// Every control in the order the editor creates it: the main panel, then the
// preset strip (later controls lie above earlier ones).
inline constexpr std::array kControls = [] {
    using namespace detail;
    return std::array{
        // Knobs.
        knob(3, 162, 29, 130, 0, 0, S::DelayLeft, "FEEDBACK", "-\u221E", "0 dB"),
        knob(5, 209, 29, 130, 0, 0, S::DelayLeft, "FB PAN", "L", "R"),
        knob(4, 162, 93, 131, 0, 0, S::DelayRight, "FEEDBACK", "-\u221E", "0 dB"),
        knob(6, 209, 93, 131, 1, 1, S::DelayRight, "FB PAN", "L", "R"),
        knob(16, 486, 29, 132, 0, 0, S::Filter, "RESONANCE", "0", "10"),
        knob(15, 440, 28, 133, 1, 1, S::Filter, "CUTOFF", "50", "16k"),
        knob(13, 533, 29, 134, 0.5, 0.5, S::Filter, "MOD DEPTH", "\u2212", "+"),
        knob(11, 392, 93, 135, 0.5, 0.5, S::Modulation, "PHASE", "\u221290\u00B0", "+90\u00B0"),
        knob(12, 439, 93, 136, 1, 1, S::Modulation, "SOURCE", "LFO", "ENV"),
        knob(47, 486, 93, 137, 0.0990991, 0.5, S::Modulation, "SENS", "0", "10"),
        knob(22, 532, 93, 137, 0.0990991, 0, S::Modulation, "ENV SPEED", "0.1", "1 s"),
        knob(21, 600, 29, 138, 0, 0, S::Drive, "GAIN", "0", "+24"),
        knob(0, 672, 29, 139, 0.5, 0.5, S::Output, "INPUT", "-\u221E", "+12"),
        knob(2, 719, 29, 139, 0.5, 0.5, S::Output, "MIX", "DRY", "WET"),
        knob(1, 766, 29, 139, 0.5, 0.5, S::Output, "OUTPUT", "-\u221E", "+12"),
        knob(17, 599, 93, 140, 0.5, 0.5, S::Vco, "MANUAL", "\u00D70.5", "\u00D72"),
        knob(18, 646, 93, 141, 0.5, 0.5, S::Vco, "MOD DEPTH", "\u2212", "+"),
        knob(39, 758, 93, 142, 0.5, 0, S::Reverb, "DAMPING", "0", "10"),
        knob(40, 805, 93, 143, 0, 0.5, S::Reverb, "AMOUNT", "0", "10"),
        // Bypass, link, inverts.
        onOff(41, 814, 44, 144, kNone, 0, S::Output, "BYPASS"),
        onOff(50, 67, 70, 149, 1, 1, S::Link, "LINK"),
        onOff(19, 258, 54, 145, 0, 0.25, S::DelayLeft, "INV DLY"),
        onOff(20, 258, 118, 146, 0, 0.25, S::DelayRight, "INV DLY"),
        onOff(7, 258, 27, 147, 0, 0.25, S::DelayLeft, "INVERT"),
        onOff(8, 258, 91, 148, 0, 0.25, S::DelayRight, "INVERT"),
        // Switches.
        hSwitch(24, 87, 25, 150, 2, 0, 0.25, S::DelayLeft, "MODE", {"TIME", "NOTE"}),
        hSwitch(25, 87, 89, 150, 2, 0, 0.25, S::DelayRight, "MODE", {"TIME", "NOTE"}),
        hSwitch(30, 122, 25, 153, 3, 1, kRangeStart, S::DelayLeft, "RANGE", {"0.1", "1", "5 s"}),
        hSwitch(31, 122, 89, 153, 3, 1, kRangeStart, S::DelayRight, "RANGE", {"0.1", "1", "5 s"}),
        hSwitch(32, 321, 89, 151, 2, 0, 0.25, S::Lfo, "MODE", {"HZ", "NOTE"}),
        hSwitch(23, 397, 25, 154, 3, 0, kSwitchThirdStart, S::Filter, "PLACE", {"IN", "FB", "FX"}),
        hSwitch(14, 397, 55, 154, 3, 0, kSwitchThirdStart, S::Filter, "TYPE", {"LP", "BP", "HP"}),
        hSwitch(37, 721, 89, 152, 2, 0, 0, S::Reverb, "MODE", {"WET", "OUT"}),
        hSwitch(38, 721, 120, 152, 2, 0, 0, S::Reverb, "TYPE", {"SPRING", "PLATE"}),
        // Section on buttons and the active lamp.
        onOff(42, 382, 19, 158, kNone, 0, S::Filter, "ON"),
        onOff(43, 585, 19, 157, kNone, 0, S::Drive, "ON"),
        movie(51, 657, 18, 159, 1, S::Output, "ACTIVE"),
        onOff(44, 290, 82, 160, kNone, 0, S::Modulation, "ON"),
        onOff(45, 584, 83, 155, kNone, 1, S::Vco, "ON"),
        onOff(46, 697, 82, 161, kNone, 0, S::Reverb, "ON"),
        // Value display: digits, decimal points, separator lamps ("120.0").
        movie(52, 298, 26, 165, digitOne(1), S::Tempo),
        movie(53, 314, 26, 164, digit(2), S::Tempo),
        movie(54, 330, 26, 164, digit(0), S::Tempo),
        movie(55, 347, 26, 164, digit(0), S::Tempo),
        movie(56, 311, 40, 163, 0, S::Tempo),
        movie(57, 327, 40, 163, 0, S::Tempo),
        movie(58, 343, 40, 163, 1, S::Tempo),
        movie(59, 311, 30, 166, 0, S::Tempo),
        movie(60, 327, 30, 166, 0, S::Tempo),
        movie(61, 344, 30, 166, 0, S::Tempo),
        // Step buttons, LFO rate area, waveform switch, delay time and tempo areas.
        kick(62, 91, 50, 168, S::DelayLeft, "TIME"),
        kick(63, 127, 50, 167, S::DelayLeft, "TIME"),
        kick(64, 91, 114, 170, S::DelayRight, "TIME"),
        kick(65, 128, 114, 169, S::DelayRight, "TIME"),
        kick(66, 305, 114, 172, S::Lfo, "RATE"),
        area(10, {324, 114, 341, 133}, 0.5, 0.70710678, S::Lfo, "RATE"),
        kick(67, 341, 114, 171, S::Lfo, "RATE"),
        Control{.tag = 9, .kind = K::SwitchVert, .rect = placed(370, 81, 174), .bitmap = 174,
                .frames = 5, .positions = 5, .startValue = 0.1, .section = S::Lfo,
                .legend = "WAVE", .marks = {"SIN", "SQR", "TRI", "SAW", "RND"}},
        area(35, {113, 48, 124, 70}, kNone, 0.63245553, S::DelayLeft, "TIME"),
        area(36, {113, 112, 124, 134}, kNone, 0.63245553, S::DelayRight, "TIME"),
        area(49, {293, 21, 364, 46}, kNone, 0.49319696, S::Tempo, "TEMPO"),
        // Peak meters and the about trigger.
        movie(68, 43, 23, 173, 0, S::DelayLeft, "L"),
        movie(69, 43, 87, 173, 0, S::DelayRight, "R"),
        Control{.tag = 70, .kind = K::About, .rect = {307, 51, 352, 75}, .bitmap = 129,
                .frames = 1, .section = S::Tempo, .legend = "Ruvane"},

        // Preset strip.
        panel(71, K::TextEdit, {210, 156.5, 322, 169.5}, 128, "NAME"),
        panel(83, K::OptionMenu, {322, 157, 335, 169}, 128, "LIST"),
        panel(72, K::PSRockerSwitch, {342, 156, 372, 169}, 995, "PREV / NEXT"),
        panel(73, K::SaveLoadButton, {87, 156, 104, 171}, 990, "LOAD BANK"),
        panel(74, K::SaveLoadButton, {36, 156, 53, 171}, 991, "SAVE BANK"),
        panel(84, K::PSKickButton, {53, 156, 85, 169}, 992, "BANK", true),
        panel(75, K::SaveLoadButton, {179, 156, 196, 171}, 990, "LOAD PRESET"),
        panel(76, K::SaveLoadButton, {116, 156, 133, 171}, 991, "SAVE PRESET"),
        panel(85, K::PSKickButton, {134, 156, 178, 169}, 993, "PRESET", true),
        panel(88, K::PSKickButton, {423, 156, 440, 171}, 990, "RECALL A"),
        panel(86, K::PSKickButton, {390, 156, 407, 171}, 991, "STORE A"),
        panel(89, K::PSKickButton, {488, 156, 505, 171}, 990, "RECALL B"),
        panel(87, K::PSKickButton, {454, 156, 471, 171}, 991, "STORE B"),
        panel(77, K::ParamDisplay, {692, 157, 782, 169}, 128, "CONTROLLER"),
        panel(78, K::PSOnOffButton, {790, 155, 814, 171}, 998, "LEARN"),
        panel(79, K::SaveLoadButton, {660, 156, 677, 171}, 990, "LOAD MIDI"),
        panel(80, K::SaveLoadButton, {612, 156, 629, 171}, 991, "SAVE MIDI"),
        panel(81, K::PSKickButton, {630, 156, 658, 169}, 994, "MIDI", true),
        panel(82, K::PSOnOffButton, {815, 155, 839, 171}, 999, "FORGET"),
    };
}();

// The preset strip's controls are the last ones of the table.
inline constexpr int kFirstPresetStripTag = 71;

constexpr const Control* findControl(int tag) {
    for (const Control& control : kControls)
        if (control.tag == tag) return &control;
    return nullptr;
}

// ---------------------------------------------------------------------------
// About screen
// ---------------------------------------------------------------------------

inline constexpr Rect kAboutDisplay = {0, 0, kEditorWidth, kEditorHeight};
inline constexpr Point kAboutVersionOrigin = {740, 70};  // relative to kAboutDisplay
inline constexpr double kAboutVersionWidth = 100;
inline constexpr double kAboutVersionHeight = 15;

// ---------------------------------------------------------------------------
// Section plates
// ---------------------------------------------------------------------------

// The two control rows and the preset strip along the bottom edge.
inline constexpr double kTopRowTop = 16, kTopRowBottom = 78;
inline constexpr double kBottomRowTop = 79, kBottomRowBottom = 142;
inline constexpr double kPresetStripTop = 155;
// A plate reaches this far beyond the outermost control of its section.
inline constexpr double kPlateMargin = 3;

enum class Row { Top, Bottom };

struct Plate {
    std::string_view title;
    Section section;
    Row row;
    Rect rect;
};

namespace detail {

// Horizontal extent of the controls of `section` (and `also`, when given), widened by
// the plate margin; vertically the whole row band.
constexpr Rect plateRect(Section section, Row row, Section also) {
    double left = kEditorWidth, right = 0;
    for (const Control& control : kControls) {
        if (control.section != section && control.section != also) continue;
        if (control.rect.left < left) left = control.rect.left;
        if (control.rect.right > right) right = control.rect.right;
    }
    return row == Row::Top
               ? Rect{left - kPlateMargin, kTopRowTop, right + kPlateMargin, kTopRowBottom}
               : Rect{left - kPlateMargin, kBottomRowTop, right + kPlateMargin, kBottomRowBottom};
}

constexpr Plate plate(std::string_view title, Section section, Row row, Section also) {
    return {title, section, row, plateRect(section, row, also)};
}

constexpr Plate plate(std::string_view title, Section section, Row row) {
    return plate(title, section, row, section);
}

}  // namespace detail

inline constexpr std::array kPlates = {
    detail::plate("DELAY L", Section::DelayLeft, Row::Top),
    detail::plate("TEMPO", Section::Tempo, Row::Top),
    detail::plate("FILTER", Section::Filter, Row::Top),
    detail::plate("DRIVE", Section::Drive, Row::Top),
    detail::plate("OUTPUT", Section::Output, Row::Top),
    detail::plate("DELAY R", Section::DelayRight, Row::Bottom),
    detail::plate("MOD", Section::Modulation, Row::Bottom, Section::Lfo),
    detail::plate("VCO", Section::Vco, Row::Bottom),
    detail::plate("REVERB", Section::Reverb, Row::Bottom),
};

constexpr const Plate* findPlate(Section section) {
    for (const Plate& plate : kPlates)
        if (plate.section == section) return &plate;
    return nullptr;
}

// Horizontal extent of a section's controls (the union of their rectangles).
constexpr Rect sectionExtent(Section section) {
    Rect extent{kEditorWidth, kEditorHeight, 0, 0};
    for (const Control& control : kControls) {
        if (control.section != section) continue;
        if (control.rect.left < extent.left) extent.left = control.rect.left;
        if (control.rect.top < extent.top) extent.top = control.rect.top;
        if (control.rect.right > extent.right) extent.right = control.rect.right;
        if (control.rect.bottom > extent.bottom) extent.bottom = control.rect.bottom;
    }
    return extent;
}

// Section titles, centred over the extent of their section's controls: above the
// top-row plates, below the bottom-row plates. The modulation plate carries two.
struct SectionTitle {
    std::string_view text;
    Section section;
    Row row;
};

inline constexpr std::array kSectionTitles = {
    SectionTitle{"DELAY L", Section::DelayLeft, Row::Top},
    SectionTitle{"TEMPO", Section::Tempo, Row::Top},
    SectionTitle{"FILTER", Section::Filter, Row::Top},
    SectionTitle{"DRIVE", Section::Drive, Row::Top},
    SectionTitle{"OUTPUT", Section::Output, Row::Top},
    SectionTitle{"DELAY R", Section::DelayRight, Row::Bottom},
    SectionTitle{"LFO", Section::Lfo, Row::Bottom},
    SectionTitle{"MODULATION", Section::Modulation, Row::Bottom},
    SectionTitle{"VCO", Section::Vco, Row::Bottom},
    SectionTitle{"REVERB", Section::Reverb, Row::Bottom},
};

// The preset strip's band.
inline constexpr Rect kPresetStrip = {0, kPresetStripTop, kEditorWidth, kEditorHeight};

}  // namespace ruvane::layout
