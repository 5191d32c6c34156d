#pragma once

#include "inspection/reportfilling.h"

namespace kavro {

// Example values for a filled report: a vehicle made after 01.10.1986, N3
// with three-component after-treatment, measured before and after adjustment.
ReportInputs SampleReportInputs();

} // namespace kavro
