#include "framework/core/world/EFPhysicData.h"
#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"
#include "framework/physics/EFPhysicModule.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// The bodies of a list, front first.
std::vector<EFPhysic*> Bodies( const u32 list ) {
	std::vector<EFPhysic*> bodies;
	for ( EFPhysic* body = EFPhysicMgr::moPhysicMgr.GetFirstPhysic( list ); body != nullptr;
		  body = body->moPhysicNode.pNext != nullptr ? body->moPhysicNode.pNext->GetData<EFPhysic>() : nullptr ) {
		bodies.push_back( body );
	}
	return bodies;
}

class EFPhysicMgrTest : public ::testing::Test {
protected:
	void TearDown() override {
		EFPhysicMgr::moPhysicMgr.Terminate();
		EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetModuleCount(), 0u );
	}

	EFPhysicMgr& manager = EFPhysicMgr::moPhysicMgr;
};

TEST_F( EFPhysicMgrTest, TheOneManagerIsPublished ) {
	EXPECT_EQ( gpoPhysicMgr, &EFPhysicMgr::moPhysicMgr );
}

TEST_F( EFPhysicMgrTest, NewBodiesGoToTheFrontOfTheListTheirCreatorNames ) {
	EFPhysicData owners[4];
	EFPhysic* const a = manager.CreatePhysic( &owners[0], 0 );
	EFPhysic* const b = manager.CreatePhysic( &owners[1], 1 );
	EFPhysic* const c = manager.CreatePhysic( &owners[2], 0 );
	EXPECT_EQ( manager.CreatePhysic( &owners[3], 2 ), nullptr );
	EXPECT_EQ( Bodies( 0 ), ( std::vector<EFPhysic*>{ c, a } ) );
	EXPECT_EQ( Bodies( 1 ), std::vector<EFPhysic*>{ b } );
	EXPECT_EQ( a->GetOwner(), &owners[0] );
	EXPECT_EQ( a->moPhysicNode.pData, a );
	// Owners hold their bodies, so that they let go of them when they die.
	owners[0].mpoPhysic = a;
	owners[1].mpoPhysic = b;
	owners[2].mpoPhysic = c;
}

TEST_F( EFPhysicMgrTest, DestroyingABodyUnlinksItAndClearsItsOwner ) {
	EFPhysicData owners[3];
	for ( EFPhysicData& owner : owners ) {
		owner.mpoPhysic = manager.CreatePhysic( &owner, 0 );
	}
	EFPhysic* const first = owners[0].mpoPhysic;
	EFPhysic* const last = owners[2].mpoPhysic;
	manager.DestroyPhysic( owners[1].mpoPhysic );
	EXPECT_EQ( owners[1].mpoPhysic, nullptr );
	EXPECT_EQ( Bodies( 0 ), ( std::vector<EFPhysic*>{ last, first } ) );
	manager.DestroyPhysic( nullptr );
	// A body whose owner let go of it is destroyed without touching it.
	last->moCollisionModel.mpoPhysicData = nullptr;
	owners[2].mpoPhysic = nullptr;
	manager.DestroyPhysic( last );
	EXPECT_EQ( Bodies( 0 ), std::vector<EFPhysic*>{ first } );
}

TEST_F( EFPhysicMgrTest, ARequestedDeletionWaitsForTheNextSweep ) {
	EFPhysicData kept;
	EFPhysicData doomed[2];
	kept.mpoPhysic = manager.CreatePhysic( &kept, 0 );
	doomed[0].mpoPhysic = manager.CreatePhysic( &doomed[0], 0 );
	doomed[1].mpoPhysic = manager.CreatePhysic( &doomed[1], 1 );
	for ( EFPhysicData& owner : doomed ) {
		EFPhysic* const body = owner.mpoPhysic;
		manager.DeletePhysic( body );
		EXPECT_EQ( body->mui32PhysicFlags, EF_PHYSIC_DISABLED | EF_PHYSIC_DELETED | EF_PHYSIC_OFF );
	}
	manager.DeletePhysic( nullptr );
	EXPECT_EQ( Bodies( 0 ).size(), 2u );
	manager.UpdateDeletedPhysic();
	EXPECT_EQ( doomed[0].mpoPhysic, nullptr );
	EXPECT_EQ( doomed[1].mpoPhysic, nullptr );
	EXPECT_EQ( Bodies( 0 ), std::vector<EFPhysic*>{ kept.mpoPhysic } );
	EXPECT_TRUE( Bodies( 1 ).empty() );
}

TEST_F( EFPhysicMgrTest, TerminateDeletesEveryBodyAndLetsItsOwnerGo ) {
	// Owners may outlive the level (cameras, list-1 bodies): each is told
	// its body is gone, so its own destructor hands nothing over later.
	auto owner = std::make_unique<EFPhysicData>();
	owner->mpoPhysic = manager.CreatePhysic( owner.get(), 1 );
	owner->mpoPhysic->LinkModule( new EFPhysicModule( EF_DM_PHASE_PRE | 4, owner->mpoPhysic ) );
	EXPECT_EQ( manager.GetModuleCount(), 1u );
	manager.CreatePhysic( nullptr, 0 );
	manager.Terminate();
	EXPECT_TRUE( Bodies( 0 ).empty() );
	EXPECT_TRUE( Bodies( 1 ).empty() );
	EXPECT_EQ( owner->mpoPhysic, nullptr );
	owner.reset();
	// Without a world the frame has no records and the ray meets nothing.
	manager.Update( 0.016f );
	RayIntersectIn in = {};
	EFRayIntersectOut out = {};
	EXPECT_EQ( manager.RayIntersect( in, out ), PS_RAY_NONE );
}

TEST_F( EFPhysicMgrTest, ModuleHandlesComeFromATableOf1024SlotsAndGoStaleWithTheirModule ) {
	EFPhysicData owner;
	owner.mpoPhysic = manager.CreatePhysic( &owner, 0 );
	EFPhysic* const body = owner.mpoPhysic;
	std::vector<EFPhysicModule*> modules;
	for ( u32 i = 0; i < EF_MODULE_HANDLE_SLOTS; i++ ) {
		modules.push_back( new EFPhysicModule( EF_DM_PHASE_POST | 23, body ) );
		body->LinkModule( modules.back() );
		ASSERT_NE( modules.back()->mui32Handle, 0u );
		ASSERT_EQ( manager.GetModule( modules.back()->mui32Handle ), modules.back() );
	}
	EXPECT_EQ( manager.GetModuleCount(), EF_MODULE_HANDLE_SLOTS );
	EFPhysicModule* const refused = new EFPhysicModule( EF_DM_PHASE_POST | 23, body );
	EXPECT_EQ( refused->mui32Handle, 0u );
	delete refused;
	EXPECT_EQ( manager.GetModuleCount(), EF_MODULE_HANDLE_SLOTS );

	// The freed slot is taken again with a new serial; the old handle dies.
	const u32 stale = modules[10]->mui32Handle;
	delete modules[10];
	EXPECT_EQ( manager.GetModule( stale ), nullptr );
	EFPhysicModule* const again = new EFPhysicModule( EF_DM_PHASE_POST | 23, body );
	body->LinkModule( again );
	EXPECT_EQ( again->mui32Handle >> 16, stale >> 16 );
	EXPECT_NE( again->mui32Handle, stale );
	EXPECT_EQ( manager.GetModule( stale ), nullptr );
	EXPECT_EQ( manager.GetModule( again->mui32Handle ), again );
	struct Row {
		u32		handle;
	};
	const Row invalid[] = { { 0 }, { 0xFFFFFFFF }, { 1024u << 16 | 1 }, { again->mui32Handle ^ 0x8000 } };
	for ( const Row& row : invalid ) {
		EXPECT_EQ( manager.GetModule( row.handle ), nullptr ) << row.handle;
	}
	manager.DestroyPhysic( body );
	EXPECT_EQ( manager.GetModuleCount(), 0u );
}

}
