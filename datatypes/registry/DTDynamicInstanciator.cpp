#include "datatypes/registry/DTDynamicInstanciator.h"

#include <cstring>

// Id of an empty entry.
static constexpr s32 DT_NO_CLASS_ID = -1;

DTDynamicInstanciator::TInstanceMap::TInstanceMap()
	: meInstanceType( IT_NONE ), mpszClassName( nullptr ), miClassID( DT_NO_CLASS_ID ), mpfnFactory( nullptr ) {
}

DTDynamicInstanciator::TInstanceMap::TInstanceMap( InstanceType_e type, const char * name, s32 id, Factory factory )
	: meInstanceType( type ), mpszClassName( name ), miClassID( id ), mpfnFactory( factory ) {
}

DTDynamicInstanciator::DTDynamicInstanciator() {
	moInstanceMaps.Reserve( RESERVED_ENTRIES );
}

DTDynamicInstanciator::~DTDynamicInstanciator() {
}

DTDynamicInstanciator & DTDynamicInstanciator::GetInstance() {
	// Built on the first call, whichever static initialiser makes it, and
	// destroyed at exit.
	static DTDynamicInstanciator moDynamicInstanciator;
	return moDynamicInstanciator;
}

s32 DTDynamicInstanciator::RegisterDynamicClass( Factory factory, const char * name, s32 id, InstanceType_e type ) {
	const TInstanceMap * known = GeInfoByClassName( name );
	if ( known != nullptr ) {
		return known->miClassID;
	}
	if ( !moInstanceMaps.Append( TInstanceMap( type, name, id, factory ) ) ) {
		return DT_NO_CLASS_ID;
	}
	return id;
}

const DTDynamicInstanciator::TInstanceMap * DTDynamicInstanciator::GeInfoByClsID( s32 id ) const {
	for ( u32 i = 0; i < moInstanceMaps.GetSize(); i++ ) {
		if ( moInstanceMaps[i].miClassID == id ) {
			return &moInstanceMaps[i];
		}
	}
	return nullptr;
}

const DTDynamicInstanciator::TInstanceMap * DTDynamicInstanciator::GeInfoByClassName( const char * name ) const {
	if ( name == nullptr ) {
		return nullptr;
	}
	for ( u32 i = 0; i < moInstanceMaps.GetSize(); i++ ) {
		const TInstanceMap & entry = moInstanceMaps[i];
		if ( entry.mpszClassName != nullptr && strcmp( entry.mpszClassName, name ) == 0 ) {
			return &entry;
		}
	}
	return nullptr;
}

void * DTDynamicInstanciator::CreateInstance( s32 id, InstanceType_e acceptedType ) const {
	return Create( GeInfoByClsID( id ), acceptedType );
}

void * DTDynamicInstanciator::CreateInstanceByName( const char * name, InstanceType_e acceptedType ) const {
	return Create( GeInfoByClassName( name ), acceptedType );
}

void * DTDynamicInstanciator::Create( const TInstanceMap * entry, InstanceType_e acceptedType ) {
	if ( entry == nullptr || entry->meInstanceType != acceptedType || entry->mpfnFactory == nullptr ) {
		return nullptr;
	}
	return entry->mpfnFactory();
}
