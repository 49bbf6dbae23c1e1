/*
	Floating object over a water grid of 20 x 12 cells of size 1 at the
	origin: searching while there is no water, in and out of the water,
	tilting onto the surface normal, riding the surface, and a water
	module that goes away.
*/
#include "framework/behaviour/WaterTestBench.h"

#include "framework/behaviour/EFDMFloatingObject.h"
#include "datatypes/maths/DTFrame.h"

#include <cmath>

namespace {

constexpr u32 FLOATER = 0x2A000600;
constexpr f32 DT = 0.1f;

class EFDMFloatingObjectTest : public WaterTestBench {
protected:
	void SetUp() override {
		WaterTestBench::SetUp();
		body = MakeModuleBody( FLOATER, 10.0f, 0.0f, 6.0f );
		EFGameObject& object = *OwnerOf( body );
		GiveModel( object )->CreateFrame( object.GetFrame() );
		handle = Add( FLOATER, EF_DM_FLOATING_OBJECT );
		floater = Module<EFDMFloatingObject>( handle );
		DMSetStateChangeNotifyBits( handle, EF_DM_FLOATING_IN_WATER );
	}

	// Water ready: one pass made its buffers and placed it.
	EFDMWaterSimulation* ReadyWater() {
		EFDMWaterSimulation* const water = MakeWater( 20, 12 );
		std::vector<u32> none;
		DMWaterSimulationParams record = WaterRecord( none );
		DMSetParams( waterHandle, &record );
		WaterPass( *water );
		return water;
	}

	void Pass( const DTVector3d& at ) {
		record = RecordOf( body );
		record.oInitPos = at;
		EXPECT_EQ( floater->PreColUpdate( record, DT ), 1u );
	}

	DTVector3d Up() const {
		const RwMatrix* const ltm = RwFrameGetLTM( OwnerOf( body )->GetFrame()->GetRwFrame() );
		return DTVector3d( ltm->up.x, ltm->up.y, ltm->up.z );
	}

	EFPhysic*				body = nullptr;
	u32						handle = 0;
	EFDMFloatingObject*		floater = nullptr;
	EFDynamicPhysic			record = {};
};

TEST_F( EFDMFloatingObjectTest, WithoutWaterItKeepsSearchingThenFloats ) {
	body->moVelocity = DTVector3d( 1.0f, 2.0f, 3.0f );
	for ( u32 pass = 0; pass < 3; pass++ ) {
		Pass( DTVector3d( 10.0f, -0.05f, 6.0f ) );
		EXPECT_EQ( floater->mbSearch, 1 );
	}
	EXPECT_EQ( floater->mui32State, 0u );
	EXPECT_EQ( body->moVelocity.y, 2.0f );

	ReadyWater();
	Pass( DTVector3d( 10.0f, -0.05f, 6.0f ) );
	EXPECT_EQ( floater->mbSearch, 0 );
	EXPECT_EQ( floater->mui32State, EF_DM_FLOATING_IN_WATER );
	EXPECT_FLOAT_EQ( body->moVelocity.y, 0.05f / DT );
	EXPECT_EQ( body->moVelocity.x, 1.0f );
	EXPECT_EQ( body->mfFallingTimer, body->mfFallingDelay );
	ASSERT_EQ( gDMStateNotes.size(), 1u );
	EXPECT_EQ( gDMStateNotes[0].record.ui32State, EF_DM_FLOATING_IN_WATER );
}

TEST_F( EFDMFloatingObjectTest, InOutTiltAndHeightByTheRecord ) {
	EFDMWaterSimulation& water = *ReadyWater();
	// The surface rises 0.1 per column: normal (-0.1, 1, 0) normalised,
	// height 1.0 at column 10.
	for ( u32 i = 0; i < water.mui32CellCount; i++ ) {
		water.mpfBufferA[i] = 0.1f * static_cast<f32>( i % 20 );
	}
	const f32 n = 1.0f / std::sqrt( 1.01f );
	const struct {
		const char*	name;
		DMFloatingObjectParams	params;
		DTVector3d	at;
		u32			state;
		DTVector3d	up;
		f32			velocityY;
	} rows[] = {
		{ "tilt 1", { 1.0f, 0.0f, 1.0f, 0.1f }, { 10.0f, 0.0f, 6.0f }, 1, { -0.1f * n, n, 0.0f }, 1.0f / DT },
		{ "tilt 0, offset, wave 0", { 0.0f, 0.3f, 0.0f, 0.1f }, { 10.0f, 0.0f, 6.0f }, 1, { 0, 1, 0 }, 0.3f / DT },
		{ "half tilt", { 0.5f, 0.0f, 0.5f, 0.1f }, { 10.0f, 0.0f, 6.0f }, 1,
		  { std::sin( -0.5f * std::atan( 0.1f ) ), std::cos( 0.5f * std::atan( 0.1f ) ), 0.0f }, 0.5f / DT },
		{ "above the threshold", { 1.0f, 0.0f, 1.0f, 0.1f }, { 10.0f, 0.11f, 6.0f }, 0, { 0, 1, 0 }, 7.0f },
		{ "outside the area", { 1.0f, 0.0f, 1.0f, 0.1f }, { 2.0f, 0.0f, 6.0f }, 0, { 0, 1, 0 }, 7.0f },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		OwnerOf( body )->GetFrame()->SetRotation( DTVector3d( 0.0f, 1.0f, 0.0f ), 0.0f );
		body->moVelocity = DTVector3d( 0.0f, 7.0f, 0.0f );
		DMFloatingObjectParams params = row.params;
		DMSetParams( handle, &params );
		Pass( row.at );
		EXPECT_EQ( floater->mui32State, row.state );
		const DTVector3d up = Up();
		EXPECT_NEAR( up.x, row.up.x, 2e-3f );
		EXPECT_NEAR( up.y, row.up.y, 2e-3f );
		EXPECT_NEAR( up.z, row.up.z, 2e-3f );
		EXPECT_NEAR( body->moVelocity.y, row.velocityY, 1e-3f );
		const RwMatrix* const ltm = RwFrameGetLTM( OwnerOf( body )->GetFrame()->GetRwFrame() );
		EXPECT_EQ( ltm->pos.x, 10.0f );
		EXPECT_EQ( ltm->pos.z, 6.0f );
	}
}

TEST_F( EFDMFloatingObjectTest, AWaterModuleThatGoesAwayIsSearchedForAgain ) {
	EFDMWaterSimulation* water = ReadyWater();
	Pass( DTVector3d( 10.0f, 0.0f, 6.0f ) );
	ASSERT_EQ( floater->mbSearch, 0 );
	// The water object deleted: its body is marked for deletion at once
	// (ASan).
	EFGameObject* const owner = gpoWorldMgr->FindGameObject( WATER_OBJECT );
	gpoWorldMgr->RemoveGameObject( WATER_OBJECT );
	delete owner;
	for ( u32 pass = 0; pass < 3; pass++ ) {
		Pass( DTVector3d( 10.0f, 0.0f, 6.0f ) );
		EXPECT_EQ( floater->mbSearch, 1 );
		Step( 60u );
	}
	// A new water lower down: its base height is taken anew.
	const u32 lower = WATER_OBJECT + 1;
	water = MakeWater( 20, 12, EF_DM_WATER, lower );
	waterGrid->moGrid.moLocalOrigin = DTVector3d( 0.0f, -1.0f, 0.0f );
	WaterPass( *water );
	Pass( DTVector3d( 10.0f, -0.5f, 6.0f ) );
	EXPECT_EQ( floater->mbSearch, 0 );
	EXPECT_EQ( floater->mfBaseHeight, -1.0f );
	EXPECT_EQ( floater->mui32State, 0u );
	EXPECT_FALSE( floater->mui32WaterHandle == 0 );
}

}
