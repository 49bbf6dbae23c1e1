/*
	The behaviour bench with skeletons: a 3D object over the written
	ten-node skeleton clump, its hierarchy bound by the object's
	InitHierarchy, given to a game object as its first instance. The
	teardown frees the clumps.
*/
#ifndef SKELETON_TEST_BENCH_H
#define SKELETON_TEST_BENCH_H

#include "framework/behaviour/BehaviourTestBench.h"
#include "framework/behaviour/SkeletonClump.h"

#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "graphics3d/core/RwStream.h"
#include "graphics3d/world/RpClump.h"
#include "graphics3d/world/RpHAnim.h"

#include <vector>

class SkeletonTestBench : public BehaviourTestBench {
protected:
	RpHAnimHierarchy& GiveSkeleton( EFGameObject& object ) {
		const std::vector<u8> bytes = SkeletonClumpChunk();
		RwMemory memory = { const_cast<u8*>( bytes.data() ), static_cast<u32>( bytes.size() ) };
		RwStream* const stream = RwStreamOpen( rwSTREAMMEMORY, rwSTREAMREAD, &memory );
		EXPECT_TRUE( RwStreamFindChunk( stream, rwID_CLUMP, nullptr, nullptr ) );
		RpClump* const clump = RpClumpStreamRead( stream );
		RwStreamClose( stream, nullptr );
		EXPECT_NE( clump, nullptr );
		EF3dObj* const model = new EF3dObj;
		model->mpGameObjectOwner = &object;
		model->mpClump = clump;
		EXPECT_EQ( model->InitHierarchy(), 1 );
		EXPECT_NE( model->mpHierarchy, nullptr );
		EXPECT_EQ( model->mpHierarchy->numNodes, SKELETON_CLUMP_NODES );
		object.mppEFInstance = new EFInstance*[1]{ model };
		object.muiNbInstance = 1;
		object.muiNb3dObj = 1;
		models.push_back( model );
		return *model->mpHierarchy;
	}
	// The skeleton's clump needs the hierarchy plug-in.
	bool AttachPlugins() override { return BehaviourTestBench::AttachPlugins() && RpHAnimPluginAttach(); }
	void TearDown() override {
		for ( EF3dObj* model : models ) {
			RpClumpDestroy( model->mpClump );
			model->mpClump = nullptr;
			model->mpHierarchy = nullptr;
		}
		BehaviourTestBench::TearDown();
	}

	std::vector<EF3dObj*>	models;
};

#endif
