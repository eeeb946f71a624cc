#pragma once
// Every option of the table as it is in force for this user, in one line for
// the driver's start event: "[Multitouch] TUIO=1 (policy), TUIO_HOST=
// 127.0.0.1, ...; [Display] MONITOR=primary; ...". A value no source sets is
// shown as its default, so the line reads the same whatever the files hold
// or leave out; "(policy)" marks a value Group Policy set.
#include "common/SectionInForce.h"

#include <string>

namespace common {

std::string DescribeOptionsInForce(const SettingsSources& sources);

} // namespace common
