#include "datatypes/maths/DTFrame.h"
#include "MathsTestSupport.h"

namespace {

typedef MathsTestCase DTFrameTest;

bool IsIdentity( const RwMatrix & m ) {
	return m.right.x == 1.0f && m.right.y == 0.0f && m.right.z == 0.0f && m.up.x == 0.0f && m.up.y == 1.0f &&
		   m.up.z == 0.0f && m.at.x == 0.0f && m.at.y == 0.0f && m.at.z == 1.0f && m.pos.x == 0.0f && m.pos.y == 0.0f &&
		   m.pos.z == 0.0f;
}

// Built with optimisation this is what the lifetime flag protects: the
// library's initialisation must survive the engine's empty constructor.
TEST_F( DTFrameTest, NewKeepsTheFrameTheLibraryInitialised ) {
	DTFrame * const frame = new DTFrame;
	ASSERT_NE( frame, nullptr );
	const RwFrame & f = frame->moFrame;
	EXPECT_EQ( f.root, &f );
	EXPECT_EQ( f.object.parent, nullptr );
	EXPECT_EQ( f.child, nullptr );
	EXPECT_EQ( f.next, nullptr );
	EXPECT_TRUE( IsIdentity( f.modelling ) );
	EXPECT_TRUE( IsIdentity( f.ltm ) );
	EXPECT_EQ( f.modelling.flags, 0x20003u );
	EXPECT_EQ( f.ltm.flags, 0x20003u );
	delete frame;
}

TEST_F( DTFrameTest, RotationsKeepTheModellingPositionBitForBit ) {
	const struct {
		DTVector3d	axis;
		f32			angle;
	} rows[] = {
		{ DTVector3d( 1, 0, 0 ), 0.7f },
		{ DTVector3d( 0, 0, 1 ), -3.0f },
		{ DTVector3d( 0.2f, 0.9f, -0.4f ), 1.3f },
	};
	DTFrame * const frame = new DTFrame;
	ASSERT_NE( frame, nullptr );
	const RwV3d position = { 1.1f, -7.3f, 1e-3f };
	RwFrameTranslate( &frame->moFrame, &position, rwCOMBINEREPLACE );
	for ( const auto & row : rows ) {
		frame->Rotate( row.axis, row.angle );
		EXPECT_EQ( FloatBits( frame->moFrame.modelling.pos.x ), FloatBits( position.x ) );
		EXPECT_EQ( FloatBits( frame->moFrame.modelling.pos.y ), FloatBits( position.y ) );
		EXPECT_EQ( FloatBits( frame->moFrame.modelling.pos.z ), FloatBits( position.z ) );
		EXPECT_NE( RwFrameDirty( &frame->moFrame ), 0u );
	}
	frame->SetRotation( DTVector3d( 0, 1, 0 ), 0.0f );
	EXPECT_VEC_NEAR( frame->moFrame.modelling.right, 1.0f, 0.0f, 0.0f, 1e-6f );
	EXPECT_VEC_NEAR( frame->moFrame.modelling.up, 0.0f, 1.0f, 0.0f, 1e-6f );
	EXPECT_VEC_NEAR( frame->moFrame.modelling.at, 0.0f, 0.0f, 1.0f, 1e-6f );
	EXPECT_EQ( FloatBits( frame->moFrame.modelling.pos.y ), FloatBits( position.y ) );
	delete frame;
}

TEST_F( DTFrameTest, WorldMatrixFollowsTheHierarchy ) {
	DTFrame * const parent = new DTFrame;
	DTFrame * const child = new DTFrame;
	ASSERT_NE( parent, nullptr );
	ASSERT_NE( child, nullptr );
	RwFrameAddChild( &parent->moFrame, &child->moFrame );
	const RwV3d up = { 0.0f, 2.0f, 0.0f };
	const RwV3d along = { 3.0f, 0.0f, 0.0f };
	RwFrameTranslate( &parent->moFrame, &up, rwCOMBINEREPLACE );
	RwFrameTranslate( &child->moFrame, &along, rwCOMBINEREPLACE );
	parent->SetRotation( DTVector3d( 0, 0, 1 ), 1.5707964f );
	DTMatrix * const world = child->GetWMatrix();
	EXPECT_EQ( &world->oMat, &child->moFrame.ltm );
	// The child's offset along x turns to y under the parent's quarter turn.
	EXPECT_VEC_NEAR( *world->GetPos(), 0.0f, 5.0f, 0.0f, 1e-3f );
	RwFrameDestroyHierarchy( &parent->moFrame );
}

} // namespace
