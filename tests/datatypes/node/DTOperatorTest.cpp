#include "datatypes/maths/DTLimits.h"
#include "datatypes/node/DTOperator.h"

#include <gtest/gtest.h>

namespace {

TEST( DTOperator, AFreshOperatorNeverExpiresAndProducesNothing ) {
	for ( const OPNodeType_e type : { OP_Root, OP_HAnim, OP_Blend, OP_Camera } ) {
		DTOperator op( type );
		EXPECT_EQ( op.meType, type );
		EXPECT_EQ( op.mpOutputList, nullptr );
		EXPECT_EQ( op.mpParent, nullptr );
		EXPECT_EQ( op.GetTTL(), DT_MAX_FLOAT );
		f32 time = 1.5f;
		EXPECT_EQ( op.TimeOut( &time ), nullptr );
		EXPECT_EQ( time, 1.5f );
		EXPECT_EQ( op.Update( 0.016f, nullptr ), 0.0f );
	}
	EXPECT_EQ( OP_Camera, 7u );
	EXPECT_EQ( OP_Interpolate, 5u );
}

// A subclass's overrides are reached through the base.
class CountingOperator : public DTOperator {
public:
	CountingOperator() : DTOperator( OP_Light ) { mfTimeToLive = 2.0f; }
	f32 Update( f32 step, DTWorkMemory * ) override {
		mfTimeToLive -= step;
		return step;
	}
	DTOperator * TimeOut( f32 * ) override { return mfTimeToLive <= 0.0f ? this : nullptr; }
};

TEST( DTOperator, OverridesRunThroughTheBase ) {
	CountingOperator counting;
	DTOperator & op = counting;
	EXPECT_EQ( op.Update( 1.5f, nullptr ), 1.5f );
	EXPECT_EQ( op.TimeOut( nullptr ), nullptr );
	op.Update( 1.0f, nullptr );
	EXPECT_EQ( op.TimeOut( nullptr ), &op );
	EXPECT_EQ( op.GetTTL(), -0.5f );
}

TEST( DTOperator, DestroyingAnOperatorLeavesItsOutputs ) {
	DTAttrib output( AT_TRANSFO );
	DTOperator * const op = new DTOperator( OP_Blend );
	op->mpOutputList = &output;
	delete op;
	EXPECT_EQ( output.meType, AT_TRANSFO );
}

} // namespace
