#include "datatypes/descriptor/DTHotSpotDescriptor.h"

#include "datatypes/persist/DTBasePersistStream.h"
#include "datatypes/registry/DTDynamicInstanciator.h"
#include "datatypes/property/DTVariant.h"

namespace {

constexpr u32 OWN_MEMBER_COUNT = 19;

} // namespace

DT_IMPLEMENT_DYNAMIC_CLASS( DTHotSpotDescriptor, "EF_HOTSPOT_DESC", DT_HOT_SPOT_CLASS_ID, IT_OBJECT );

DTHotSpotDescriptor::DTHotSpotDescriptor()
	: mui32PrimType( 0 ), mui32PrimitiveTag( 0 ), mui32BoneID( 0 ), mfTranslationX( 0.0f ), mfTranslationY( 0.0f ),
	  mfTranslationZ( 0.0f ), mfHardness( 0.0f ), mfRebound( 0.0f ), mui32DetectionMode( 0 ), mui32Type( 0 ),
	  mui32DetectType( 0 ), mui32UDType( 0 ), mui32UDDetectType( 0 ), mui32EnvDetectType( 0 ), mui32UDEnvDetectType( 0 ),
	  mui32NotifyType( 0 ), mui32Arg1( 0 ), mui32Arg2( 0 ), mui32Arg3( 0 ), mafPrimSizes{ 0.0f, 0.0f, 0.0f, 0.0f } {
	ReserveMembers( OWN_MEMBER_COUNT );
	RegisterMember( DTVariant( &mui32PrimType ), "PrimType" );
	RegisterMember( DTVariant( &mui32PrimitiveTag ), "PrimitiveTag" );
	RegisterMember( DTVariant( &mui32BoneID ), "BoneID" );
	RegisterMember( DTVariant( &mfTranslationX ), "TranslationX" );
	RegisterMember( DTVariant( &mfTranslationY ), "TranslationY" );
	RegisterMember( DTVariant( &mfTranslationZ ), "TranslationZ" );
	RegisterMember( DTVariant( &mfHardness ), "Hardness" );
	RegisterMember( DTVariant( &mfRebound ), "Rebound" );
	RegisterMember( DTVariant( &mui32DetectionMode ), "DetectionMode" );
	RegisterMember( DTVariant( &mui32Type ), "Type" );
	RegisterMember( DTVariant( &mui32DetectType ), "DetectType" );
	RegisterMember( DTVariant( &mui32UDType ), "UDType" );
	RegisterMember( DTVariant( &mui32UDDetectType ), "UDDetectType" );
	RegisterMember( DTVariant( &mui32EnvDetectType ), "EnvDetectType" );
	RegisterMember( DTVariant( &mui32UDEnvDetectType ), "UDEnvDetectType" );
	RegisterMember( DTVariant( &mui32NotifyType ), "NotifyType" );
	RegisterMember( DTVariant( &mui32Arg1 ), "Arg1" );
	RegisterMember( DTVariant( &mui32Arg2 ), "Arg2" );
	RegisterMember( DTVariant( &mui32Arg3 ), "Arg3" );
}

DTHotSpotDescriptor::~DTHotSpotDescriptor() {
}

s32 DTHotSpotDescriptor::GetClassID() const {
	return DT_HOT_SPOT_CLASS_ID;
}

const char * DTHotSpotDescriptor::GetClassName() const {
	return "EF_HOTSPOT_DESC";
}

u32 DTHotSpotDescriptor::GetSizeCount( const u32 primType ) {
	switch ( primType ) {
	case DT_HOT_SPOT_SPHERE:		return 1;
	case DT_HOT_SPOT_SWEPT_SPHERE:	return 4;
	case DT_HOT_SPOT_BOX:			return 3;
	default:						return 0;
	}
}

s32 DTHotSpotDescriptor::LoadFromStream( DTBasePersistStream & stream ) {
	s32 result = DT3dObjectDescriptor::LoadFromStream( stream );
	const u32 count = GetSizeCount( mui32PrimType );
	if ( count == 0 ) {
		return DT_HOT_SPOT_BAD_PRIM_TYPE;
	}
	for ( u32 i = 0; i < count; i++ ) {
		result += stream.LoadData( mafPrimSizes[i] );
	}
	return result;
}
