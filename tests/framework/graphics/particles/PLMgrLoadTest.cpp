/*
	Types and emitters from stored containers: the round trip of a type
	container (ids, reverse order, fields), emitters from a level container
	and from a model's swapped set, every malformed container, the third
	container, and the curves the records set.
*/
#include "ParticleTestBench.h"

#include "datatypes/descriptor/DTEmitterContainerDescriptor.h"
#include "datatypes/maths/DTMatrix.h"

#include <gtest/gtest.h>

namespace {

class PLMgrLoadTest : public ParticleTestBench {
protected:
	std::vector<ToolParticleType> Types() {
		std::vector<ToolParticleType> types = ToolParticleWriter::SampleTypes( "dot" );
		types[0].user = { 1, 2, 3, 4 };
		types[0].red = { 0.0f, 1.0f, 0.5f, 0.5f };
		types[0].size = { 1.25f, 2.5f, 0.0f, 0.25f };
		return types;
	}

	std::vector<u8> Types( const std::vector<ToolParticleType>& types ) {
		return ToolParticleWriter::TypeContainerBytes( ToolParticleWriter::TypeContainer( types ) );
	}
};

std::vector<PLType*> TypeList( PLMgr& manager ) {
	std::vector<PLType*> out;
	for ( PLType* type = manager.GetTypeList().GetFirst(); type != nullptr; type = type->mpoNext ) {
		out.push_back( type );
	}
	return out;
}

} // namespace

TEST_F( PLMgrLoadTest, ATypeContainerLoadsInReverseOrderWithFileIndexIdsAndEveryField ) {
	ASSERT_EQ( Feed( Types( Types() ) ), 0 );
	const std::vector<PLType*> types = TypeList( *moParticles );
	ASSERT_EQ( types.size(), 2u );
	EXPECT_STREQ( types[0]->GetDisplayName(), "smoke" );
	EXPECT_EQ( types[0]->GetUID(), 0x2D000001u );
	PLType* const spark = types[1];
	EXPECT_EQ( spark->GetUID(), 0x2D000000u );
	EXPECT_EQ( moParticles->GetType( "spark" ), spark );
	EXPECT_EQ( spark->mpoTexture, mpTexture );
	EXPECT_FLOAT_EQ( spark->mfSpeed, 2.0f );
	EXPECT_EQ( spark->mui32Spread, 40u );
	EXPECT_EQ( spark->mui32PerLaunch, 4u );
	EXPECT_FLOAT_EQ( spark->moGravity.z, -9.8f );
	EXPECT_EQ( spark->mui32UserValues[3], 4u );
	EXPECT_EQ( spark->mui32UserValues[4], 0u );
	EXPECT_EQ( spark->mui32Flags, 0x10u );
	// Lifespan 1.5: bounded by the largest stored size, speed and gravity.
	EXPECT_FLOAT_EQ( spark->mfRadius, 2.0f + 0.1f + 1.5f * ( 2.0f + 0.5f * 9.8f * 1.5f ) );
	// Red rises over the first half second, then falls to 0.5 at 1.5 s.
	EXPECT_FLOAT_EQ( spark->moRed.Evaluate( 0.25f ), 0.5f );
	EXPECT_FLOAT_EQ( spark->moRed.Evaluate( 1.0f ), 0.75f );
	EXPECT_FLOAT_EQ( spark->moRed.Evaluate( 1.5f ), 0.5f );
	// The size curve keeps values and times over 1.25 against the same age.
	EXPECT_FLOAT_EQ( spark->moSize.mfStart, 1.0f );
	EXPECT_FLOAT_EQ( spark->moSize.mfMiddleTime, 0.2f );
	EXPECT_FLOAT_EQ( spark->moSize.mfEndTime, 1.2f );
	EXPECT_FLOAT_EQ( spark->moSize.Evaluate( 0.1f ), 1.5f );
	EXPECT_FLOAT_EQ( spark->moSize.Evaluate( 1.2f ), 0.0f );
	EXPECT_EQ( moParticles->GetTypeCount(), 2u );
}

TEST_F( PLMgrLoadTest, CurvesWithEqualValuesAreConstantAndAZeroMiddleTimeStartsOnTheSecondSegment ) {
	PLType* const type = static_cast<PLType*>( moParticles->GetType( moParticles->ParticleTypeCreate() ) );
	type->SetInter( PL_INTER_GREEN, 0.3f, 0.3f, 0.3f, 0.7f );
	type->SetInter( PL_INTER_BLUE, 0.0f, 1.0f, 0.0f, 0.0f );
	type->SetReal( PL_REAL_LIFESPAN, 2.0f );
	const struct {
		const PLCurve*	curve;
		f32				age;
		f32				expected;
	} rows[] = {
		{ &type->moGreen, 0.0f, 0.3f }, { &type->moGreen, 5.0f, 0.3f },
		{ &type->moBlue, 0.0f, 1.0f }, { &type->moBlue, 1.0f, 0.5f }, { &type->moBlue, 2.0f, 0.0f },
		// Defaults: rotation 0 -> 20 in 1 s, then to 50 at the lifespan.
		{ &type->moRotation, 0.5f, 10.0f }, { &type->moRotation, 1.5f, 35.0f },
	};
	for ( const auto& row : rows ) {
		EXPECT_FLOAT_EQ( row.curve->Evaluate( row.age ), row.expected ) << row.age;
	}
	u32 out = 77;
	EXPECT_EQ( type->GetInt( 2, &out ), 4 );
	EXPECT_EQ( out, 77u );
	type->SetInt( 0x40, 9 );
	EXPECT_EQ( type->GetInt( 0x40, &out ), 0 );
	EXPECT_EQ( out, 9u );
}

TEST_F( PLMgrLoadTest, EmittersFromALevelContainerAndAModelSetAreEqual ) {
	ASSERT_EQ( Feed( Types( Types() ) ), 0 );
	ToolEmitterContainer container = ToolParticleWriter::SampleEmitters();
	container.emitters[0].lookRight = { 0.0f, 1.0f, 0.0f };
	container.emitters[0].lookUp = { -1.0f, 0.0f, 0.0f };
	ASSERT_EQ( Feed( ToolParticleWriter::EmitterContainerBytes( container ) ), 0 );

	EFGameObject* const owner = MakeObject( 0x2a000010, 0.0f, 0.0f, 10.0f );
	DTEmitterContainerDescriptor swapped;
	container.emitters[0].boneId = 0x7FFFFFFF;	// the owner's own frame
	std::vector<u8> bytes = ToolParticleWriter::EmitterContainerSwappedBytes( container );
	DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
	ASSERT_EQ( swapped.LoadFromStreamSwap( stream ), 0 );
	ASSERT_EQ( moParticles->LoadEmitters( &swapped, owner ), 0 );

	PLEmitter* const level = static_cast<PLEmitter*>( moParticles->GetEmitter( "fountain", 0 ) );
	PLEmitter* const model = static_cast<PLEmitter*>( moParticles->GetEmitter( "fountain", 0x2a000010 ) );
	ASSERT_NE( level, nullptr );
	ASSERT_NE( model, nullptr );
	EXPECT_EQ( level->GetUID(), 0x2E000000u );
	EXPECT_EQ( model->GetUID(), 0x2E000001u );
	for ( const PLEmitter* e : { level, model } ) {
		EXPECT_EQ( e->mpoType, moParticles->GetType( "spark" ) );
		EXPECT_EQ( e->mui8Running, 1 );
		EXPECT_EQ( e->mui8Repeat, 1 );
		EXPECT_EQ( e->mui32Flags, 0u );
		EXPECT_EQ( e->mui32ShapeFlags, PL_SHAPE_BOX | PL_SHAPE_PLANE0 );
		EXPECT_FLOAT_EQ( e->moBoxSize.z, 0.2f );
		EXPECT_FLOAT_EQ( e->moPlanes[0].moNormal.z, 1.0f );
		EXPECT_FLOAT_EQ( e->mfBounce[0], 0.5f );
	}
	// The model's emitter hangs under the owner's frame.
	const RwMatrix* const world = RwFrameGetLTM( model->GetFrame()->GetRwFrame() );
	EXPECT_FLOAT_EQ( world->pos.z, 11.0f );
	EXPECT_FLOAT_EQ( world->right.y, 1.0f );
	EXPECT_EQ( moParticles->DestroyAttachedEmitters( 0x2a000010 ), 1u );
	EXPECT_EQ( moParticles->GetEmitter( "fountain", 0x2a000010 ), nullptr );
}

TEST_F( PLMgrLoadTest, MalformedContainersFailWithMinusTwoKeepingWhatLoadedBefore ) {
	const struct {
		const char*	name;
		bool		types;
		s32			expected;
		u32			typesLeft;
	} rows[] = {
		{ "size", true, -2, 0 },
		{ "empty-nb", true, -2, 0 },
		{ "nb-zero", true, 0, 0 },
		{ "unterminated", true, 0, 2 },
		{ "unknown-type", false, -2, 2 },
		{ "emitter-151", false, -2, 2 },
	};
	for ( const auto& row : rows ) {
		SCOPED_TRACE( row.name );
		moParticles->Terminate();
		if ( row.types ) {
			EXPECT_EQ( Feed( ToolParticleWriter::MalformedTypeContainer( row.name ) ), row.expected );
		} else {
			ASSERT_EQ( Feed( Types( Types() ) ), 0 );
			EXPECT_EQ( Feed( ToolParticleWriter::MalformedEmitterContainer( row.name ) ), row.expected );
		}
		EXPECT_EQ( moParticles->GetTypeCount(), row.typesLeft );
	}
	// The unterminated name keeps its 32 characters.
	moParticles->Terminate();
	ASSERT_EQ( Feed( ToolParticleWriter::MalformedTypeContainer( "unterminated" ) ), 0 );
	EXPECT_EQ( std::string( TypeList( *moParticles )[1]->GetDisplayName() ), std::string( 32, 'n' ) );
	// An unknown type stops the emitters after the good one; a missing
	// texture fails its type after the first loaded.
	moParticles->Terminate();
	ASSERT_EQ( Feed( Types( Types() ) ), 0 );
	EXPECT_EQ( Feed( ToolParticleWriter::MalformedEmitterContainer( "unknown-type" ) ), -2 );
	EXPECT_EQ( moParticles->GetEmitterCount(), 1u );
	EXPECT_EQ( Feed( Types( Types() ) ), -2 );	// a third container
	moParticles->Terminate();
	std::vector<ToolParticleType> types = Types();
	types[1].texture = "missing";
	EXPECT_EQ( Feed( Types( types ) ), -2 );
	EXPECT_EQ( TypeList( *moParticles ).size(), 1u );
	EXPECT_EQ( moParticles->GetTypeCount(), 1u );
}

TEST_F( PLMgrLoadTest, RunTimeOperationsAnswerTheirCodesAndIdsNeverRestart ) {
	const s32 first = moParticles->ParticleTypeCreate();
	const s32 second = moParticles->ParticleTypeCreate();
	EXPECT_EQ( first, 0x2D800001 );
	EXPECT_EQ( second, 0x2D800002 );
	const s32 emitter = moParticles->ParticleEmitterCreate( first, nullptr );
	EXPECT_EQ( emitter, 0x2E800001 );
	EXPECT_EQ( moParticles->ParticleEmitterCreate( 0x2D7FFFFF, nullptr ), PL_UNKNOWN_TYPE );
	EXPECT_EQ( moParticles->ParticleEmitterSetType( emitter, 0x2D7FFFFF ), PL_UNKNOWN_TYPE );
	EXPECT_EQ( moParticles->ParticleEmitterSetType( 0x2E7FFFFF, second ), PL_UNKNOWN_EMITTER );
	EXPECT_EQ( moParticles->ParticleEmitterSetType( emitter, second ), PL_OK );
	EXPECT_EQ( moParticles->GetType( second )->moEmitters.GetFirst(), moParticles->GetEmitter( emitter ) );
	EXPECT_EQ( moParticles->GetType( first )->moEmitters.GetCount(), 0u );
	EXPECT_EQ( moParticles->ParticleTypeDelete( second ), PL_OK );
	EXPECT_EQ( moParticles->GetEmitter( emitter ), nullptr );
	EXPECT_EQ( moParticles->ParticleTypeDelete( second ), PL_UNKNOWN_TYPE );
	EXPECT_EQ( moParticles->ParticleEmitterDelete( emitter ), PL_UNKNOWN_EMITTER );
	moParticles->Terminate();
	EXPECT_EQ( moParticles->ParticleTypeCreate(), 0x2D800003 );
}
