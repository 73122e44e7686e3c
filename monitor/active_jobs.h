// The ports whose job threads run. While there is one, the power status thread
// keeps the machine from suspending.
#pragma once

void AddActiveJob();
void ReleaseActiveJob();
// Library stop: the power status thread ends and is joined.
void StopPowerStatusThread();
