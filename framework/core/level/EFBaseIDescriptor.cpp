#include "framework/core/level/EFBaseIDescriptor.h"

#include "datatypes/registry/DTDynamicInstanciator.h"
#include "framework/core/world/EFInstance.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/graphics/animation/EFAnimNode.h"

namespace {

// The registry's factory for id when it is registered for type.
DTDynamicInstanciator::Factory FactoryFor( const s32 id, const InstanceType_e type ) {
	const DTDynamicInstanciator::TInstanceMap * const info = DTDynamicInstanciator::GetInstance().GeInfoByClsID( id );
	if ( info == nullptr || info->meInstanceType != type ) {
		return nullptr;
	}
	return info->mpfnFactory;
}

}

EFBaseIDescriptor::EFBaseIDescriptor() {
}

EFBaseIDescriptor::~EFBaseIDescriptor() {
}

s32 EFBaseIDescriptor::LoadFromStream( DTBasePersistStream & stream ) {
	return GetDescriptor()->LoadFromStream( stream );
}

s32 EFBaseIDescriptor::SaveToStream( DTBasePersistStream & stream ) {
	return GetDescriptor()->SaveToStream( stream );
}

EFRessource * EFBaseIDescriptor::GetSharedRessource() {
	const s32 puid = GetDescriptor()->uiInstancePUID;
	if ( puid == EF_NO_PUID || gpoRessourcesMgr == nullptr ) {
		return nullptr;
	}
	return gpoRessourcesMgr->GetRessourceFactory().GetRessource( static_cast<u32>( puid ) );
}

EFInstance * EFBaseIDescriptor::CreateObjectInstance() {
	const DTDynamicInstanciator::Factory factory = FactoryFor( GetInstanceCLSID(), IT_OBJECT );
	if ( factory == nullptr ) {
		return nullptr;
	}
	EFInstance * const instance = static_cast<EFInstance *>( factory() );
	if ( instance == nullptr ) {
		return nullptr;
	}
	if ( GetDescriptor()->uiInstancePUID != EF_NO_PUID ) {
		instance->SetRessource( GetSharedRessource() );
	}
	instance->SetUID( GetDescriptor()->GetUID() );
	return instance;
}

bool EFBaseIDescriptor::InitializeObjectInstance( EFInstance * instance, void * extra ) {
	if ( instance == nullptr ) {
		return true;
	}
	const DTCreationParameters params = { GetDescriptor(), extra };
	return instance->Initialize( params );
}

EFAnimNode * EFBaseIDescriptor::CreateNode() {
	const DTDynamicInstanciator::Factory factory = FactoryFor( GetInstanceCLSID(), IT_ANIM_NODE );
	if ( factory == nullptr ) {
		return nullptr;
	}
	EFAnimNode * const node = static_cast<EFAnimNode *>( factory() );
	if ( node == nullptr ) {
		return nullptr;
	}
	if ( GetDescriptor()->uiInstancePUID != EF_NO_PUID ) {
		node->mpAnimRes = GetSharedRessource();
	}
	node->muiUID = GetDescriptor()->GetUID();
	return node;
}

void EFBaseIDescriptor::InitialiseNode( EFAnimNode * node, void * reference ) {
	if ( node == nullptr ) {
		return;
	}
	DTCreationParameters params = { GetDescriptor(), reference };
	node->Initialize( &params );
}
