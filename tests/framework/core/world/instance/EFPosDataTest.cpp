#include "InstanceTestBench.h"

#include "datatypes/maths/DTFrame.h"
#include "framework/physics/EFPhysic.h"

#include <cmath>
#include <memory>

namespace {

constexpr u32 PARENT_OWNER	= 0x2a000001;
constexpr u32 CHILD_OWNER	= 0x2a000002;
constexpr u32 OTHER_OWNER	= 0x2a000003;

class EFPosDataTest : public InstanceTestBench {
protected:
	void SetUp() override {
		InstanceTestBench::SetUp();
		connectionsBefore = EFPosData::muiNbConnection;
	}

	// A framed instance with its own id, owned by an object of ownerId.
	EFPosData* Placed( const u32 id, const u32 ownerId ) {
		owners.push_back( std::make_unique<EFGameObject>() );
		owners.back()->SetUID( ownerId );
		instances.push_back( std::make_unique<EFPosData>() );
		EFPosData* const instance = instances.back().get();
		instance->SetUID( id );
		instance->mpGameObjectOwner = owners.back().get();
		EXPECT_NE( instance->CreateFrame( nullptr ), nullptr );
		return instance;
	}

	static void PlaceAt( EFPosData* instance, const f32 x, const f32 y, const f32 z ) {
		const RwV3d position = { x, y, z };
		RwFrameTranslate( &instance->GetFrame()->moFrame, &position, rwCOMBINEREPLACE );
	}

	static std::vector<EFPosData*> Children( const EFPosData* parent ) {
		std::vector<EFPosData*> children;
		for ( EFPosData* child = parent->mpChild; child != nullptr; child = child->mpNext ) {
			children.push_back( child );
		}
		return children;
	}

	u32 Connections() const { return EFPosData::muiNbConnection - connectionsBefore; }

	u32 connectionsBefore = 0;
	// Instances go first: they leave their owners' trees.
	std::vector<std::unique_ptr<EFGameObject>> owners;
	std::vector<std::unique_ptr<EFPosData>> instances;
};

TEST_F( EFPosDataTest, AttachAndDetachSendTheirMessagesInOrder ) {
	const struct {
		u32							attach;
		u32							detach;
		std::vector<LogicMessage>	expected;
	} rows[] = {
		{ 0, 0, {} },
		{ EF_ATTACH_TELL_PARENT | EF_ATTACH_TELL_CHILD, 0,
		  { { PARENT_OWNER, EF_MSG_CHILD_ATTACHED, 0x0f000002 }, { CHILD_OWNER, EF_MSG_ATTACHED_TO_PARENT, 0x0f000001 } } },
		{ 0, EF_DETACH_TELL_PARENT | EF_DETACH_TELL_CHILD,
		  { { PARENT_OWNER, EF_MSG_CHILD_LEFT, 0x0f000002 }, { CHILD_OWNER, EF_MSG_LEFT_PARENT, 0x0f000001 } } },
		{ EF_ATTACH_TELL_CHILD, EF_DETACH_TELL_PARENT,
		  { { CHILD_OWNER, EF_MSG_ATTACHED_TO_PARENT, 0x0f000001 }, { PARENT_OWNER, EF_MSG_CHILD_LEFT, 0x0f000002 } } },
	};
	for ( const auto& row : rows ) {
		EFPosData* const parent = Placed( 0x0f000001, PARENT_OWNER );
		EFPosData* const child = Placed( 0x0f000002, CHILD_OWNER );
		gSentMessages.clear();
		parent->AddChild( child, row.attach );
		EXPECT_EQ( Connections(), 1u );
		EXPECT_EQ( child->mpParent, parent );
		EXPECT_EQ( Children( parent ), std::vector<EFPosData*>{ child } );
		child->LeaveParent( row.detach );
		EXPECT_EQ( Connections(), 0u );
		EXPECT_EQ( child->mpParent, nullptr );
		EXPECT_EQ( parent->mpChild, nullptr );
		EXPECT_EQ( gSentMessages, row.expected ) << row.attach << " " << row.detach;
		// Detaching again changes nothing.
		child->LeaveParent( 6 );
		EXPECT_EQ( Connections(), 0u );
		EXPECT_EQ( gSentMessages, row.expected );
	}
}

TEST_F( EFPosDataTest, ReparentingLeavesTheOldParentAndKeepsOneLink ) {
	EFPosData* const first = Placed( 0x0f000001, PARENT_OWNER );
	EFPosData* const second = Placed( 0x0f000003, OTHER_OWNER );
	EFPosData* const child = Placed( 0x0f000002, CHILD_OWNER );
	first->AddChild( child, 0 );
	gSentMessages.clear();
	second->AddChild( child, EF_ATTACH_TELL_PARENT );
	EXPECT_EQ( Connections(), 1u );
	EXPECT_EQ( first->mpChild, nullptr );
	EXPECT_EQ( child->mpParent, second );
	EXPECT_EQ( gSentMessages, ( std::vector<LogicMessage>{ { PARENT_OWNER, EF_MSG_CHILD_LEFT, 0x0f000002 },
														   { OTHER_OWNER, EF_MSG_CHILD_ATTACHED, 0x0f000002 } } ) );
}

TEST_F( EFPosDataTest, RemovingAllChildrenTellsEachChildBeforeTheParent ) {
	EFPosData* const parent = Placed( 0x0f000001, PARENT_OWNER );
	EFPosData* const a = Placed( 0x0f000002, CHILD_OWNER );
	EFPosData* const b = Placed( 0x0f000004, OTHER_OWNER );
	parent->AddChild( a, 0 );
	parent->AddChild( b, 0 );
	EXPECT_EQ( Children( parent ), ( std::vector<EFPosData*>{ b, a } ) );
	gSentMessages.clear();
	parent->RemoveAllChildren( EF_DETACH_TELL_PARENT | EF_DETACH_TELL_CHILD );
	EXPECT_EQ( Connections(), 0u );
	EXPECT_EQ( parent->mpChild, nullptr );
	EXPECT_EQ( a->mpParent, nullptr );
	EXPECT_EQ( b->mpNext, nullptr );
	EXPECT_EQ( gSentMessages, ( std::vector<LogicMessage>{
								   { OTHER_OWNER, EF_MSG_LEFT_PARENT, 0x0f000001 },
								   { PARENT_OWNER, EF_MSG_CHILD_LEFT, 0x0f000004 },
								   { CHILD_OWNER, EF_MSG_LEFT_PARENT, 0x0f000001 },
								   { PARENT_OWNER, EF_MSG_CHILD_LEFT, 0x0f000002 },
							   } ) );
}

TEST_F( EFPosDataTest, AttachingUnderARotatedParentKeepsOnlyTheWorldAxisOffset ) {
	EFPosData* const parent = Placed( 0x0f000001, PARENT_OWNER );
	EFPosData* const child = Placed( 0x0f000002, CHILD_OWNER );
	const RwV3d up = { 0.0f, 1.0f, 0.0f };
	RwFrameRotate( &parent->GetFrame()->moFrame, &up, 90.0f, rwCOMBINEREPLACE );
	const RwV3d at = { 2.0f, 0.0f, 0.0f };
	RwFrameTranslate( &parent->GetFrame()->moFrame, &at, rwCOMBINEPOSTCONCAT );
	PlaceAt( child, 5.0f, 0.0f, 0.0f );
	parent->AddChild( child, 0 );
	const RwMatrix& local = child->GetFrame()->moFrame.modelling;
	EXPECT_NEAR( local.pos.x, 3.0f, 1e-6f );
	EXPECT_NEAR( local.pos.y, 0.0f, 1e-6f );
	EXPECT_NEAR( local.pos.z, 0.0f, 1e-6f );
	EXPECT_EQ( local.right.x, 1.0f );
	EXPECT_EQ( local.up.y, 1.0f );
	EXPECT_EQ( local.at.z, 1.0f );
	// The world position follows the parent's rotation: (2, 0, -3).
	const RwMatrix* const world = RwFrameGetLTM( &child->GetFrame()->moFrame );
	EXPECT_NEAR( world->pos.x, 2.0f, 1e-5f );
	EXPECT_NEAR( std::fabs( world->pos.z ), 3.0f, 1e-5f );
}

TEST_F( EFPosDataTest, DetachingKeepsTheWorldTransformOrResetsIt ) {
	for ( const u32 options : { 0u, static_cast<u32>( EF_DETACH_RESET ) } ) {
		EFPosData* const parent = Placed( 0x0f000001, PARENT_OWNER );
		EFPosData* const child = Placed( 0x0f000002, CHILD_OWNER );
		PlaceAt( parent, 1.0f, 2.0f, 3.0f );
		PlaceAt( child, 4.0f, 2.0f, 3.0f );
		parent->AddChild( child, 0 );
		child->LeaveParent( options );
		EXPECT_EQ( child->GetFrame()->moFrame.object.parent, nullptr );
		const RwMatrix& local = child->GetFrame()->moFrame.modelling;
		const f32 expectedX = options == 0 ? 4.0f : 0.0f;
		EXPECT_NEAR( local.pos.x, expectedX, 1e-6f ) << options;
		EXPECT_NEAR( local.pos.y, options == 0 ? 2.0f : 0.0f, 1e-6f );
	}
}

TEST_F( EFPosDataTest, SnappingTakesTheParentTransform ) {
	EFPosData* const parent = Placed( 0x0f000001, PARENT_OWNER );
	EFPosData* const child = Placed( 0x0f000002, CHILD_OWNER );
	PlaceAt( parent, 1.0f, 0.0f, 0.0f );
	PlaceAt( child, 9.0f, 9.0f, 9.0f );
	parent->AddChild( child, EF_ATTACH_SNAP | EF_ATTACH_SET_POS_FLAG );
	const RwMatrix* const world = RwFrameGetLTM( &child->GetFrame()->moFrame );
	EXPECT_EQ( world->pos.x, 1.0f );
	EXPECT_EQ( world->pos.y, 0.0f );
	EXPECT_NE( child->muiPosFlags & EF_POS_ATTACH_FLAG, 0u );
	parent->AddChild( child, EF_ATTACH_SNAP );
	EXPECT_EQ( child->muiPosFlags & EF_POS_ATTACH_FLAG, 0u );
}

TEST_F( EFPosDataTest, RefusedAttachmentsChangeNothing ) {
	EFPosData* const root = Placed( 0x0f000001, PARENT_OWNER );
	EFPosData* const middle = Placed( 0x0f000002, CHILD_OWNER );
	EFPosData* const leaf = Placed( 0x0f000003, OTHER_OWNER );
	root->AddChild( middle, 0 );
	middle->AddChild( leaf, 0 );
	EFPosData* const frameless = Placed( 0x0f000004, OTHER_OWNER );
	frameless->DestroyFrame();
	gSentMessages.clear();
	const u32 connections = Connections();
	const struct {
		EFPosData*	parent;
		DTFrame*	target;
		EFPosData*	child;
		const char*	why;
	} rows[] = {
		{ root, root->GetFrame(), root, "itself" },
		{ leaf, leaf->GetFrame(), root, "its own ancestor" },
		{ leaf, leaf->GetFrame(), middle, "its own parent" },
		{ root, root->GetFrame(), frameless, "a frameless child" },
		{ frameless, nullptr, leaf, "a frameless parent" },
		{ root, leaf->GetFrame(), middle, "a frame inside the child's subtree" },
		{ root, root->GetFrame(), nullptr, "no child" },
	};
	for ( const auto& row : rows ) {
		row.parent->AddChildFrame( row.target, row.child, 0x1F );
		EXPECT_EQ( Connections(), connections ) << row.why;
		EXPECT_EQ( Children( root ), std::vector<EFPosData*>{ middle } ) << row.why;
		EXPECT_EQ( Children( middle ), std::vector<EFPosData*>{ leaf } ) << row.why;
		EXPECT_EQ( leaf->mpChild, nullptr ) << row.why;
		EXPECT_EQ( frameless->mpParent, nullptr ) << row.why;
		EXPECT_TRUE( gSentMessages.empty() ) << row.why;
	}
}

TEST_F( EFPosDataTest, AChildMissingFromItsParentsListStopsTheDetach ) {
	EFPosData* const parent = Placed( 0x0f000001, PARENT_OWNER );
	EFPosData* const child = Placed( 0x0f000002, CHILD_OWNER );
	parent->AddChild( child, 0 );
	parent->mpChild = nullptr;
	gSentMessages.clear();
	child->LeaveParent( EF_DETACH_TELL_PARENT | EF_DETACH_TELL_CHILD );
	// The count drops anyway; the links stay and nobody is told.
	EXPECT_EQ( Connections(), 0u );
	EXPECT_EQ( child->mpParent, parent );
	EXPECT_TRUE( gSentMessages.empty() );
	child->mpParent = nullptr;
	EFPosData::muiNbConnection++;
}

TEST_F( EFPosDataTest, InstancesWithoutAnOwnerSendNothing ) {
	EFPosData* const parent = Placed( 0x0f000001, PARENT_OWNER );
	EFPosData* const child = Placed( 0x0f000002, CHILD_OWNER );
	parent->mpGameObjectOwner = nullptr;
	child->mpGameObjectOwner = nullptr;
	parent->AddChild( child, EF_ATTACH_TELL_PARENT | EF_ATTACH_TELL_CHILD );
	child->LeaveParent( EF_DETACH_TELL_PARENT | EF_DETACH_TELL_CHILD );
	EXPECT_TRUE( gSentMessages.empty() );
	EXPECT_EQ( Connections(), 0u );
	// A deferred notification's data is dropped without a leak.
	child->Notify( NO_TIMER, ::operator new( 4 ), true );
	child->Notify( NO_TIMER, nullptr, false );
}

TEST_F( EFPosDataTest, FramesAreCreatedOnceAndOnlyCreatedOnesAreDeleted ) {
	DTFrame* const adopted = new DTFrame;
	ASSERT_NE( adopted, nullptr );
	{
		EFPosData user;
		EXPECT_EQ( user.CreateFrame( adopted ), adopted );
		EXPECT_EQ( user.muiPosFlags & EF_POS_OWNS_FRAME, 0u );
		EXPECT_EQ( user.CreateFrame( nullptr ), adopted );
	}
	// Still a live frame of the library: it can move and be deleted.
	const RwV3d step = { 1.0f, 0.0f, 0.0f };
	EXPECT_NE( RwFrameTranslate( &adopted->moFrame, &step, rwCOMBINEREPLACE ), nullptr );
	delete adopted;
	EFPosData owner;
	DTFrame* const created = owner.CreateFrame( nullptr );
	ASSERT_NE( created, nullptr );
	EXPECT_NE( owner.muiPosFlags & EF_POS_OWNS_FRAME, 0u );
	owner.DestroyFrame();
	EXPECT_EQ( owner.GetFrame(), nullptr );
	EXPECT_EQ( owner.muiPosFlags & EF_POS_OWNS_FRAME, 0u );
}

TEST_F( EFPosDataTest, ADeletedInstanceLeavesItsBodyToTheNextSweepUntouched ) {
	EFPhysicData* const owner = new EFPhysicData;
	EFPhysic* const body = owner->CreatePhysic( 0 );
	ASSERT_NE( body, nullptr );
	EXPECT_EQ( owner->CreatePhysic( 1 ), body );
	delete owner;
	EXPECT_EQ( body->GetOwner(), nullptr );
	EXPECT_NE( body->mui32PhysicFlags & EF_PHYSIC_DELETED, 0u );
	// Under the address sanitizer a write into the freed owner would fail.
	EFPhysicMgr::moPhysicMgr.UpdateDeletedPhysic();
	EXPECT_EQ( EFPhysicMgr::moPhysicMgr.GetFirstPhysic( 0 ), nullptr );
}

}
