<?php
/*
 * Prints the PHP surface of Kelvo\Kelvo and the event classes (or, with the argument "cluster", of
 * Kelvo\Cluster and its generator) as the engine sees it: constants, properties and every method
 * with its flags, parameters and attributes, one line each. tests/phpt/05_surface/client_surface.golden
 * and cluster_surface.golden are its outputs; after an intended change run
 *   php -n -d extension=modules/kelvo.so tools/dump-client-surface.php > tests/phpt/05_surface/client_surface.golden
 *   php -n -d extension=modules/kelvo.so tools/dump-client-surface.php cluster > tests/phpt/05_surface/cluster_surface.golden
 */

function kelvoSurfaceValue(mixed $value): string
{
    return is_array($value) ? json_encode($value) : var_export($value, true);
}

function kelvoSurfaceAttributes(array $attributes): string
{
    return $attributes ? ' #[' . implode(', ', array_map(fn($a) => $a->getName(), $attributes)) . ']' : '';
}

function kelvoSurfaceParameter(ReflectionParameter $p): string
{
    $text = ($p->hasType() ? $p->getType() . ' ' : '')
        . ($p->isPassedByReference() ? '&' : '') . ($p->isVariadic() ? '...' : '') . '$' . $p->getName();
    if ($p->isDefaultValueAvailable()) {
        $text .= ' = ' . ($p->isDefaultValueConstant() ? $p->getDefaultValueConstantName() : kelvoSurfaceValue($p->getDefaultValue()));
    } elseif ($p->isOptional() && !$p->isVariadic()) {
        $text .= ' = ?';
    }
    return $text . kelvoSurfaceAttributes($p->getAttributes());
}

function kelvoSurfaceMethod(ReflectionMethod $m): string
{
    $flags = implode(' ', Reflection::getModifierNames($m->getModifiers()));
    if ($m->isDeprecated()) {
        $flags .= ' deprecated';
    }
    $params = implode(', ', array_map('kelvoSurfaceParameter', $m->getParameters()));
    $returns = $m->hasReturnType() ? ': ' . $m->getReturnType() : '';
    return "$flags function {$m->getName()}($params)$returns" . kelvoSurfaceAttributes($m->getAttributes())
        . " [required {$m->getNumberOfRequiredParameters()}]";
}

function kelvoSurfaceClass(string $name): string
{
    $c = new ReflectionClass($name);
    $out = implode(' ', Reflection::getModifierNames($c->getModifiers()));
    $out = ltrim("$out class $name") . ($c->getParentClass() ? ' extends ' . $c->getParentClass()->getName() : '') . "\n";
    foreach ($c->getReflectionConstants() as $k) {
        if ($k->getDeclaringClass()->getName() !== $name) {
            continue;
        }
        $out .= "  const {$k->getName()} = " . var_export($k->getValue(), true) . "\n";
    }
    foreach ($c->getProperties() as $p) {
        if ($p->getDeclaringClass()->getName() !== $name) {
            continue;
        }
        $default = $p->hasDefaultValue() ? ' = ' . kelvoSurfaceValue($p->getDefaultValue()) : '';
        $out .= '  ' . implode(' ', Reflection::getModifierNames($p->getModifiers())) . " {$p->getType()} \${$p->getName()}$default\n";
    }
    foreach ($c->getMethods() as $m) {
        if ($m->getDeclaringClass()->getName() === $name) {
            $out .= '  ' . kelvoSurfaceMethod($m) . "\n";
        }
    }
    return $out;
}

const KELVO_SURFACES = [
    'client' => ['Kelvo\Kelvo', 'Kelvo\Event', 'Kelvo\Event\Invalidated', 'Kelvo\Event\Flushed'],
    'cluster' => ['Kelvo\Cluster', 'Kelvo\Cluster\FullscanGenerator'],
];

function kelvoSurfaceDump(string $surface = 'client'): string
{
    return implode('', array_map('kelvoSurfaceClass', KELVO_SURFACES[$surface]));
}

if (realpath($_SERVER['SCRIPT_FILENAME'] ?? '') === __FILE__) {
    echo kelvoSurfaceDump($argv[1] ?? 'client');
}
