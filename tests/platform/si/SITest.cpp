#include "platform/si/SI.h"
#include "platform/si/SIHost.h"

#include <gtest/gtest.h>

TEST( SI, KeepsTheSamplingRateUpToTheSlowestTheConsoleAccepts ) {
	SIHostReset();
	EXPECT_EQ( SIHostSamplingRate(), 0u );
	const struct {
		u32	asked;
		u32	kept;
	} cases[] = {
		{ 5, 5 }, { 0, 0 }, { 11, 11 }, { 12, 11 }, { 0xFFFFFFFF, 11 },
	};
	for ( const auto& c : cases ) {
		SISetSamplingRate( c.asked );
		EXPECT_EQ( SIHostSamplingRate(), c.kept ) << c.asked;
	}
	SIHostReset();
}
