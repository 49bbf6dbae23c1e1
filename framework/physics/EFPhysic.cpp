#include "framework/physics/EFPhysic.h"

#include "framework/physics/EFPhysicModule.h"

namespace {

typedef EFPhysicModule * EFPhysicModule::*ModuleLink;

// Puts module after every module of the list whose type id is lower or
// equal, so modules of one id keep the order they came in.
void InsertSorted( EFPhysicModule *& head, EFPhysicModule * module, const ModuleLink link ) {
	const u32 id = module->GetTypeId();
	EFPhysicModule ** slot = &head;
	while ( *slot != nullptr && ( *slot )->GetTypeId() <= id ) {
		slot = &( ( *slot )->*link );
	}
	module->*link = *slot;
	*slot = module;
}

void Remove( EFPhysicModule *& head, EFPhysicModule * module, const ModuleLink link ) {
	for ( EFPhysicModule ** slot = &head; *slot != nullptr; slot = &( ( *slot )->*link ) ) {
		if ( *slot == module ) {
			*slot = module->*link;
			module->*link = nullptr;
			return;
		}
	}
}

}

EFPhysic::EFPhysic( EFPhysicData * owner, const u32 primitives )
	: moPhysicNode{ nullptr, nullptr, nullptr }, mui32PhysicFlags( 0 ), mpoPreColDM( nullptr ), mpoColDM( nullptr ),
	  mpoPostColDM( nullptr ), mpoAllModules( nullptr ), muiPriority( 0 ), mfWeight( 1.0f ), moVelocity(),
	  mui32PhysicState( 0 ), mui32StateChangeNotifyBits( 0 ), mui32CurrentContext( 0 ),
	  mfFallingSpeed( EF_PHYSIC_FALLING_SPEED ), mfFallingDelay( EF_PHYSIC_FALLING_DELAY ),
	  mfFallingTimer( EF_PHYSIC_FALLING_DELAY ), mfFriction( 1.0f ), mfMinFloorNormalY( EF_PHYSIC_MIN_FLOOR_NORMAL_Y ),
	  moCollisionModel( owner, primitives ), mfHardness( 1.0f ), mfRebound( 0.0f ), mpoLastFloorPrim( nullptr ) {
	moPhysicNode.pData = this;
}

EFPhysic::~EFPhysic() {
	RemoveAllModules();
	MLISTUnlink( moPhysicNode );
}

void EFPhysic::NormalizeFlags() {
	u32 flags = mui32PhysicFlags & ~EF_PHYSIC_EFFECTIVE_MASK;
	flags |= ( flags & ( EF_PHYSIC_DISABLED | EF_PHYSIC_DYNAMIC | EF_PHYSIC_COLLIDING | EF_PHYSIC_PARTICLES ) ) << 16;
	if ( ( flags & EF_PHYSIC_CLIP_DISABLED ) != 0 ) {
		flags |= EF_PHYSIC_OFF;
	}
	if ( ( flags & ( EF_PHYSIC_CLIP_SUSPENDED | EF_PHYSIC_PAUSED ) ) != 0 ) {
		flags &= ~( EF_PHYSIC_MOVES | EF_PHYSIC_COLLIDES | EF_PHYSIC_TESTS_PARTICLES );
	}
	mui32PhysicFlags = flags;
}

void EFPhysic::LinkModule( EFPhysicModule * module ) {
	if ( module == nullptr ) {
		return;
	}
	InsertSorted( mpoAllModules, module, &EFPhysicModule::mpoNextAll );
	if ( ( module->mui32Type & EF_DM_PHASE_PRE ) != 0 ) {
		InsertSorted( mpoPreColDM, module, &EFPhysicModule::mpoNextPre );
	}
	if ( ( module->mui32Type & EF_DM_PHASE_COL ) != 0 ) {
		InsertSorted( mpoColDM, module, &EFPhysicModule::mpoNextCol );
	}
	if ( ( module->mui32Type & EF_DM_PHASE_POST ) != 0 ) {
		InsertSorted( mpoPostColDM, module, &EFPhysicModule::mpoNextPost );
	}
}

void EFPhysic::UnLinkModule( EFPhysicModule * module ) {
	if ( module == nullptr ) {
		return;
	}
	Remove( mpoAllModules, module, &EFPhysicModule::mpoNextAll );
	Remove( mpoPreColDM, module, &EFPhysicModule::mpoNextPre );
	Remove( mpoColDM, module, &EFPhysicModule::mpoNextCol );
	Remove( mpoPostColDM, module, &EFPhysicModule::mpoNextPost );
}

void EFPhysic::RemoveAllModules() {
	while ( mpoAllModules != nullptr ) {
		EFPhysicModule * const module = mpoAllModules;
		// The destructor unlinks it; a module that lost its owner is taken
		// off here so that the walk always ends.
		if ( module->mpoOwner != this ) {
			UnLinkModule( module );
		}
		delete module;
	}
	mpoPreColDM = nullptr;
	mpoColDM = nullptr;
	mpoPostColDM = nullptr;
}

EFPhysicModule * EFPhysic::FindModule( const u32 typeId, EFPhysicModule * after ) const {
	EFPhysicModule * module = after != nullptr ? after->mpoNextAll : mpoAllModules;
	while ( module != nullptr && module->GetTypeId() < typeId ) {
		module = module->mpoNextAll;
	}
	return module != nullptr && module->GetTypeId() == typeId ? module : nullptr;
}
