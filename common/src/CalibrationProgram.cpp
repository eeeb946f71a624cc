#include "common/CalibrationProgram.h"

#include "common/Messages.h"

namespace common {

CalibrationProgramSettings ReadCalibrationProgramSettings(const SettingsSources& sources)
{
    const SectionInForce section(options::kOwnCalibrationProgram.section, sources);
    CalibrationProgramSettings settings;
    settings.preferOwn = section.Switch(options::kOwnCalibrationProgram);
    return settings;
}

CalibrationProgram ChooseCalibrationProgram(const CalibrationProgramSettings& settings, bool outsideThere,
                                            bool ownThere)
{
    if (settings.preferOwn && ownThere) return CalibrationProgram::Own;
    if (outsideThere) return CalibrationProgram::Outside;
    if (ownThere) return CalibrationProgram::Own;
    return CalibrationProgram::None;
}

const char* CalibrationProgramFile(CalibrationProgram program)
{
    switch (program) {
    case CalibrationProgram::Outside: return wnd::kCalibrationProgram;
    case CalibrationProgram::Own: return wnd::kOwnCalibrationProgram;
    case CalibrationProgram::None: return nullptr;
    }
    return nullptr;
}

} // namespace common
