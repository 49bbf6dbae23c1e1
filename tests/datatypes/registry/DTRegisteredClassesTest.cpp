/*
	The engine's loadable classes as stored data names them. Each row is
	switched on (built = true) by the change that lands its class; until
	then its test is reported as skipped.
*/
#include "datatypes/registry/DTDynamicInstanciator.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

struct RegisteredClass {
	s32				id;
	const char *	name;
	InstanceType_e	type;
	const char *	className;	// the class the factory creates
	bool			built;
};

const RegisteredClass gRegisteredClasses[] = {
	{ 1, "STREAMABLE", IT_OBJECT, "DTStreamable", true },
	{ 2, "3D_STATIC_OBJECT_DESCR", IT_OBJECT, "EF3dStaticObjectIDescriptor", true },
	{ 3, "3D_OBJECT_DESCR", IT_OBJECT, "EF3dObjectIDescriptor", true },
	{ 6, "LIGHT_DESCR", IT_OBJECT, "EFLightIDescriptor", true },
	{ 7, "SOUND_DESCR", IT_OBJECT, "EFSoundIDescriptor", true },
	{ 8, "MORPH_ANIM_DESCR", IT_OBJECT, "EFMorphAnimationIDescriptor", true },
	{ 11, "TEXTURE_ANIM_DESCR", IT_OBJECT, "EFTextureAnimationIDescriptor", true },
	{ 12, "CAMERA_DESCR", IT_OBJECT, "EFCameraIdescriptor", true },
	{ 15, "3D_OBJECT_INST", IT_OBJECT, "EF3dObj", true },
	{ 19, "MORPH_ANIM_INST", IT_OBJECT, "EFMorphAnimRes", true },
	{ 23, "SOUND_INST", IT_OBJECT, "EFSoundEventDescriptorHandler", true },
	{ 24, "STATIC_3D_OBJECT_INST", IT_OBJECT, "EFStatic3dObj", true },
	{ 31, "DT_DYN_PROP_CONTAINER", IT_OBJECT, "DTDynamicPropertyContainer", true },
	{ 32, "EF_GLO", IT_OBJECT, "EFGameObject", true },
	{ 34, "TEXTURE_DICTIONARY", IT_OBJECT, "EFTextureDict", true },
	{ 36, "EF_COLLISION_MAP", IT_OBJECT, "EFCollisionMap", true },
	{ 37, "PL_EMITTER_CONTAINER", IT_OBJECT, "PLMgr_BC", true },
	{ 38, "EF_COLLISION_PRIM_ANIM", IT_OBJECT, "EFCollisionPrimAnim", true },
	{ 39, "EF_LOGIC_CODE", IT_OBJECT, "EFLogicCode", true },
	{ 41, "PL_TYPE_CONTAINER", IT_OBJECT, "PLMgr_BC", true },
	{ 44, "EI_TEXTURE_ANIM_RES", IT_OBJECT, "EFTextureAnimRes", true },
	{ 45, "PL_TYPE", IT_OBJECT, "PLType", true },
	{ 48, "DT_WPGRP", IT_OBJECT, "DTWaypointGrp", true },
	{ 51, "INVISIBLE_DESCR", IT_OBJECT, "EFInvisibleIdescriptor", true },
	{ 55, "EI_HANIMATION_DESCR", IT_OBJECT, "EFHAnimationIDescriptor", true },
	{ 58, "EF_FONTS", IT_OBJECT, "EFFont", true },
	{ 59, "EF_TEXTS", IT_OBJECT, "EFText", true },
	{ 60, "EF_AUDIOENV_DESC", IT_OBJECT, "EFAudioEnvDescriptor", true },
	{ 62, "EF_FONTS_PAL", IT_OBJECT, "EFHudPalette", true },
	{ 63, "EF_HOTSPOT_DESC", IT_OBJECT, "DTHotSpotDescriptor", true },
	{ 64, "EI_OCTREE_RES", IT_OBJECT, "EFEnvMap", true },
	{ 65, "EF_3DOBJECT_WATER", IT_OBJECT, "EFWaterGrid", true },
	{ 67, "EF_HUD_CONFIG", IT_OBJECT, "EFHudWindowStreamer", true },
	{ 69, "EF_LIBRARY_FILE", IT_OBJECT, "EFLogicCodeLib", true },
	{ 70, "EF_LOADING_SCREEN", IT_OBJECT, "EFLoadingScreen", true },
	{ 72, "EF_GENERIC_FILE", IT_OBJECT, "EFGenericDataLoader", true },
	{ 73, "EF_ANIM_RES", IT_OBJECT, "EFAnimRes", true },
	{ 74, "EF_ANIM_NODE", IT_ANIM_NODE, "EFHAnimNode", true },
	{ 75, "DT_ANIM_NODE_DESCR", IT_OBJECT, "EFAnimIDescriptor", true },
	{ 77, "DT_LIGHT_ANIM_DESCR", IT_OBJECT, "EFLightAnimIDescriptor", true },
	{ 79, "EF_HANIM_RES", IT_OBJECT, "EFHAnimRes", true },
	{ 81, "EF_MORPH_ANIM_NODE", IT_ANIM_NODE, "EFMorphAnimNode", true },
	{ 82, "EF_CUTSCENE", IT_OBJECT, "EFCutScenePlayer", true },
	{ 83, "EF_CAMERA_ANIM_NODE", IT_ANIM_NODE, "EFCameraAnimNode", true },
	{ 84, "EF_TEXT_ANIM_NODE", IT_ANIM_NODE, "EFTextureAnimNode", true },
	{ 85, "DT_CAMERA_ANIM_DESCR", IT_OBJECT, "EFCameraAnimIDescriptor", true },
	{ 86, "EF_3DOBJECT_GROUNDFOG", IT_OBJECT, "EFGroundFogGrid", true },
	{ 87, "EF_PALETTE_DICTIONARY", IT_OBJECT, "EFPaletteDictionary", true },
	{ 88, "SOUND_CONTAINER_DESCR", IT_OBJECT, "EFSoundContainerDescriptor", true },
	{ 89, "SOUND_CONTAINER_INST", IT_OBJECT, "EFSoundContainerDescriptorHandler", true },
	{ 91, "EF_3DOBJ_RES", IT_OBJECT, "EF3dObjRes", true },
	{ 92, "3D_OBJECT_WATER_DESCR", IT_OBJECT, "EFWaterGridIDescriptor", true },
	{ 93, "3D_OBJECT_GROUNDFOG_DESCR", IT_OBJECT, "EFGroundFogGridIDescriptor", true },
};

// Ids the engine's stored data may use; none outside the table names a class.
constexpr s32 HIGHEST_ENGINE_CLASS_ID = 93;

class RegisteredClassRow : public testing::TestWithParam<RegisteredClass> {};

} // namespace

TEST( DTRegisteredClasses, TableHoldsFiftyThreeDistinctRows ) {
	std::set<s32> ids;
	std::set<std::string> names;
	for ( const RegisteredClass & row : gRegisteredClasses ) {
		ids.insert( row.id );
		names.insert( row.name );
	}
	EXPECT_EQ( std::size( gRegisteredClasses ), 53u );
	EXPECT_EQ( ids.size(), 53u );
	EXPECT_EQ( names.size(), 53u );
}

TEST_P( RegisteredClassRow, IsRegisteredUnderItsIdNameAndType ) {
	const RegisteredClass & row = GetParam();
	if ( !row.built ) {
		GTEST_SKIP() << row.className << " is not built yet";
	}
	const DTDynamicInstanciator & registry = DTDynamicInstanciator::GetInstance();
	const DTDynamicInstanciator::TInstanceMap * entry = registry.GeInfoByClsID( row.id );
	ASSERT_NE( entry, nullptr );
	EXPECT_STREQ( entry->mpszClassName, row.name );
	EXPECT_EQ( entry->meInstanceType, row.type );
	EXPECT_NE( entry->mpfnFactory, nullptr );
	EXPECT_EQ( registry.GeInfoByClassName( row.name ), entry );
	// Loaders of the other instance type get nothing. (Objects are not
	// created here: some factories hand out a shared single object.)
	const InstanceType_e other = row.type == IT_OBJECT ? IT_ANIM_NODE : IT_OBJECT;
	EXPECT_EQ( registry.CreateInstance( row.id, other ), nullptr );
}

INSTANTIATE_TEST_SUITE_P( DTRegisteredClasses, RegisteredClassRow, testing::ValuesIn( gRegisteredClasses ),
						  []( const testing::TestParamInfo<RegisteredClass> & info ) {
							  return "Id" + std::to_string( info.param.id ) + "_" + info.param.className;
						  } );

TEST( DTRegisteredClasses, IdsOutsideTheTableNameNoClass ) {
	std::set<s32> listed;
	for ( const RegisteredClass & row : gRegisteredClasses ) {
		listed.insert( row.id );
	}
	const DTDynamicInstanciator & registry = DTDynamicInstanciator::GetInstance();
	for ( s32 id = 0; id <= HIGHEST_ENGINE_CLASS_ID; id++ ) {
		if ( listed.count( id ) == 0 ) {
			EXPECT_EQ( registry.GeInfoByClsID( id ), nullptr ) << id;
		}
	}
}
