#include "framework/physics/EFPhysicModule.h"

#include "framework/physics/EFPhysic.h"
#include "framework/physics/EFPhysicMgr.h"

EFPhysicModule::EFPhysicModule( const u32 type, EFPhysic * owner )
	: mpoOwner( owner ), mpoNextAll( nullptr ), mpoNextPre( nullptr ), mpoNextCol( nullptr ), mpoNextPost( nullptr ),
	  mui32Type( type ), mui32ContextMask( 0 ), mui32State( 0 ), mui32StateChangeNotifyBits( 0 ),
	  mui32Flags( EF_DM_ACTIVE ), mui32Handle( 0 ) {
	mui32Handle = EFPhysicMgr::moPhysicMgr.TakeModuleHandle( this );
}

EFPhysicModule::~EFPhysicModule() {
	if ( mpoOwner != nullptr ) {
		mpoOwner->UnLinkModule( this );
	}
	EFPhysicMgr::moPhysicMgr.ReleaseModuleHandle( mui32Handle, this );
}

u32 EFPhysicModule::PreColUpdate( EFDynamicPhysic &, f32 ) {
	return 1;
}

void EFPhysicModule::ColUpdate( EFCollisionStage *, EFColDMData &, f32 ) {
}

void EFPhysicModule::PostColUpdate( EFCollisionStage *, f32 ) {
}

void EFPhysicModule::SetParams( void * ) {
}

void EFPhysicModule::GetParams( void * ) {
}

void EFPhysicModule::DoAction( u32, void * ) {
}

void EFPhysicModule::GetData( void * ) {
}

void EFPhysicModule::InitDM() {
}
