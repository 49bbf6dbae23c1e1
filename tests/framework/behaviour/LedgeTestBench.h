/*
	The behaviour bench for the ledge modules: a still hero whose body
	carries one sphere primitive (env detect word 1) on its own frame,
	phases run by hand inside physics frames (the frame number moves on),
	and hand-made stages of surface polygons.
*/
#ifndef LEDGE_TEST_BENCH_H
#define LEDGE_TEST_BENCH_H

#include "framework/behaviour/BehaviourTestBench.h"
#include "framework/behaviour/SurfacePolygon.h"

#include "framework/behaviour/EFDMNearestPoint.h"
#include "framework/physics/EFObjCollisionPrim.h"
#include "graphics3d/core/RwFrame.h"

#include <cmath>

class LedgeTestBench : public BehaviourTestBench {
protected:
	static constexpr u32 HERO = 0x2A000800;
	static constexpr u32 TAG = 0x31;
	static constexpr f32 DT = 1.0f / 60.0f;

	// The hero at pos turned by yaw about y, with a sphere of radius r at
	// offset in its frame, and a module of type added (not run by the
	// frames: the body's context is 0).
	u32 Hero( const u32 type, const DTVector3d& pos, const f32 r, const DTVector3d& offset = DTVector3d(),
			  const f32 yaw = 0.0f ) {
		body = MakeModuleBody( HERO, pos.x, pos.y, pos.z, 3 );
		body->mui32PhysicFlags = 0;
		body->NormalizeFlags();
		body->mfFallingDelay = 0.25f;
		body->moVelocity = DTVector3d( 1.0f, 2.0f, 3.0f );
		frame = OwnerOf( body )->GetFrame()->GetRwFrame();
		if ( yaw != 0.0f ) {
			DMRotateInPlace( frame, DTVector3d( 0, 1, 0 ), yaw );
		}
		prim = body->moCollisionModel.AddPrimitive( 0, TAG, EF_PRIM_SPHERE, OwnerOf( body )->GetFrame() );
		prim->mfMaxRadius = r;
		prim->moTrans = offset;
		prim->moBaseAttrib.IntArray[EF_ATTR_ENV_DETECT] = 0x1;
		prim->UpdateCurrentAttribs();
		body->moCollisionModel.PrecalcData();
		const u32 handle = Add( HERO, type );
		body->mui32CurrentContext = 0;
		return handle;
	}

	// One physics frame in which work runs.
	void Frame( const std::function<void()>& work ) { RunInFrame( work, DT ); }

	EFCollisionStage Stage( std::vector<EFEnvCollisionPrim*>& list ) { return StageOf( record, list ); }

	DTVector3d At() const { return DMRow( RwFrameGetLTM( frame )->at ); }
	DTVector3d Up() const { return DMRow( RwFrameGetLTM( frame )->up ); }

	static void ExpectNear( const DTVector3d& a, const DTVector3d& b, const f32 tolerance = 1e-5f ) {
		EXPECT_NEAR( a.x, b.x, tolerance );
		EXPECT_NEAR( a.y, b.y, tolerance );
		EXPECT_NEAR( a.z, b.z, tolerance );
	}

	EFPhysic*			body = nullptr;
	RwFrame*			frame = nullptr;
	EFObjCollisionPrim*	prim = nullptr;
	EFDynamicPhysic		record = {};
};

#endif
