// What freezing leaves open to a job: filled by rescheduling.
#pragma once

namespace vema {

struct FREEZE_JOB {};

}  // namespace vema
