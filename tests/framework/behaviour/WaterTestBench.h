/*
===============================================================================

	Water fixtures: an object owning a water or ground-fog grid of N x M
	cells of size 1 at the origin (no frame, so the grid's world placement
	is its local one), with a water simulation module on its body.

===============================================================================
*/
#ifndef WATER_TEST_BENCH_H
#define WATER_TEST_BENCH_H

#include "framework/behaviour/BehaviourTestBench.h"

#include "framework/behaviour/EFDMWaterSimulation.h"
#include "framework/behaviour/WaterReference.h"
#include "framework/graphics/EFGroundFogGrid.h"
#include "framework/graphics/EFWaterGrid.h"

#include <vector>

constexpr u32 WATER_OBJECT = 0x2A000500;

class WaterTestBench : public BehaviourTestBench {
protected:
	// A grid of class T as the object's only 3D object.
	template< class T >
	static T* GiveGrid( EFGameObject& object, const u32 columns, const u32 rows, const f32 cell = 1.0f ) {
		T* const grid = new T;
		grid->mpGameObjectOwner = &object;
		grid->moGrid.muiColumns = columns;
		grid->moGrid.muiRows = rows;
		grid->moGrid.moLocalColumnStep = DTVector3d( cell, 0.0f, 0.0f );
		grid->moGrid.moLocalRowStep = DTVector3d( 0.0f, 0.0f, cell );
		delete[] object.mppEFInstance;
		object.mppEFInstance = new EFInstance*[1]{ grid };
		object.muiNbInstance = 1;
		object.muiNb3dObj = 1;
		return grid;
	}

	// The water object with a grid of columns x rows and its module
	// (type 12 or 13).
	EFDMWaterSimulation* MakeWater( const u32 columns, const u32 rows, const u32 type = EF_DM_WATER,
									const u32 id = WATER_OBJECT ) {
		EFPhysic* const body = MakeModuleBody( id );
		if ( type == EF_DM_WATER ) {
			waterGrid = GiveGrid<EFWaterGrid>( *OwnerOf( body ), columns, rows );
		} else {
			fogGrid = GiveGrid<EFGroundFogGrid>( *OwnerOf( body ), columns, rows );
		}
		waterHandle = Add( id, type );
		return Module<EFDMWaterSimulation>( waterHandle );
	}

	// A water record: cell size 1 at every level, the given characters.
	static DMWaterSimulationParams WaterRecord( std::vector<u32>& ids, const f32 ripple = 0.0f ) {
		DMWaterSimulationParams record = {};
		record.fDamping = 0.98f;
		record.fWaveSpeed = 0.2f;
		record.fInteraction = 1.0f;
		record.fParamA = 1.0f;
		record.fParamB = 1.0f;
		record.fIdleRipple = ripple;
		record.fMaxHeight = 0.2f;
		record.ui32CharacterCount = static_cast<u32>( ids.size() );
		record.pui32CharacterIds = ids.empty() ? nullptr : ids.data();
		record.afGridValues[0] = 1.0f;
		record.afGridValues[1] = 1.0f;
		record.afGridValues[2] = 1.0f;
		record.ui32Flags = 0x2;
		return record;
	}

	void WaterPass( EFDMWaterSimulation& water, const f32 dt = 1.0f / 60.0f ) {
		EFDynamicPhysic record = {};
		EXPECT_EQ( water.PreColUpdate( record, dt ), 1u );
	}

	static f32 Height( const EFDMWaterSimulation& water, const u32 column, const u32 row ) {
		return water.mpfBufferB[row * water.mui32Width + column];
	}

	EFWaterGrid*		waterGrid = nullptr;
	EFGroundFogGrid*	fogGrid = nullptr;
	u32					waterHandle = 0;
};

#endif
