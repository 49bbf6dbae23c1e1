/*
	Fixture of the tests that boot the sample disc in-process on the
	console driver: the driver's test state and the video interface start
	fresh, and the interface is reset again after the test.
*/
#ifndef SAMPLE_DRIVER_TEST_BENCH_H
#define SAMPLE_DRIVER_TEST_BENCH_H

#include "framework/core/engine/EFSampleDiscTestBench.h"
#include "graphics3d/gamecube/RwDlTestDriver.h"
#include "platform/vi/VI.h"
#include "platform/vi/VIHost.h"

class SampleDriverTestBench : public EFSampleDiscTestBench {
protected:
	void SetUp() override {
		EFSampleDiscTestBench::SetUp();
		RwDlTestResetDriver();
		VIHostReset();
		VIInit();
	}

	void TearDown() override {
		VIHostReset();
		EFSampleDiscTestBench::TearDown();
	}
};

#endif
